#include "tollsheet/Form1.h"

#include "runtime/Boxes.h"
#include "runtime/Fonts.h"
#include "runtime/Forms.h"
#include "tollsheet/Entry.h"
#include "tollsheet/Form2.h"

#include <QPushButton>

namespace tollsheet {

using namespace runtime;

namespace {

QLabel *label(QWidget *form, const char *name, const QString &caption, QWidget *buddy, QRect twips)
{
    auto *control = new Label(caption, form);
    control->setObjectName(QLatin1String(name));
    control->setBuddy(buddy);
    place(control, twips.x(), twips.y(), twips.width(), twips.height());
    return control;
}

QLineEdit *textBox(QWidget *form, const char *name, int top)
{
    auto *box = new TextBox(form);
    box->setObjectName(QLatin1String(name));
    place(box, 2400, top, 1815, 375);
    return box;
}

QPushButton *button(QWidget *form, const char *name, const QString &caption, int left)
{
    auto *control = new QPushButton(caption, form);
    control->setObjectName(QLatin1String(name));
    control->setAutoDefault(false);
    place(control, left, 3120, 1215, 495);
    return control;
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setFont(formFont());
    setClientSize(this, 5175, 3945);

    Text1 = textBox(this, "Text1", 360);
    Text2 = textBox(this, "Text2", 840);
    Text3 = textBox(this, "Text3", 1320);
    Text4 = textBox(this, "Text4", 1800);
    Text5 = textBox(this, "Text5", 2280);
    label(this, "Label1", QStringLiteral("고객번호"), Text1, QRect(840, 480, 1455, 255));
    label(this, "Label2", QStringLiteral("등급코드"), Text2, QRect(840, 840, 1455, 255));
    label(this, "Label3", QStringLiteral("음성서비스가입여부"), Text3, QRect(840, 1200, 1335, 495));
    label(this, "Label4", QStringLiteral("문자서비스가입여부"), Text4, QRect(840, 1800, 1335, 495));
    label(this, "Label5", QStringLiteral("전화사용시간"), Text5, QRect(840, 2400, 1455, 255));
    Command1 = button(this, "Command1", QStringLiteral("입력"), 840);
    Command2 = button(this, "Command2", QStringLiteral("출력"), 3000);

    runtime::setTabOrder({Text1, Text2, Text3, Text4, Text5, Command1, Command2});
    Text1->setFocus();
    centreOnScreen(this);

    onClick(Command1, this, [this] { Command1_Click(); });
    onClick(Command2, this, [this] { Command2_Click(); });
}

Form1::~Form1() = default;

void Form1::Command1_Click()
{
    const std::array<QLineEdit *, 5> boxes = {Text1, Text2, Text3, Text4, Text5};
    const std::optional<Refusal> refusal =
        enterSubscriber({Text1->text(), Text2->text(), Text3->text(), Text4->text(), Text5->text()});
    if (refusal) {
        ShowMessage(this, refusal->message, QStringLiteral("입력 오류"));
        if (refusal->box > 0)
            boxes[refusal->box - 1]->setFocus();
        return;
    }
    for (QLineEdit *box : boxes)
        box->clear();
    Text1->setFocus();
}

void Form1::Command2_Click()
{
    if (!m_form2)
        m_form2 = std::make_unique<Form2>();
    ShowForm(*m_form2, Modality::Modal);
}

} // namespace tollsheet
