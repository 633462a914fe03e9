#include "wagesheet/Form1.h"

#include "runtime/Boxes.h"
#include "runtime/Forms.h"
#include "wagesheet/Entry.h"
#include "wagesheet/Form2.h"

#include <QCloseEvent>
#include <QPushButton>
#include <array>

namespace wagesheet {

using namespace runtime;

namespace {

void label(QWidget *form, const char *name, const QString &caption, QWidget *buddy, QRect twips)
{
    auto *control = new Label(caption, form);
    control->setObjectName(QLatin1String(name));
    control->setBuddy(buddy);
    place(control, twips.x(), twips.y(), twips.width(), twips.height());
}

QLineEdit *textBox(QWidget *form, const char *name, int top)
{
    auto *box = new TextBox(form);
    box->setObjectName(QLatin1String(name));
    place(box, 1560, top, 1215, 375);
    return box;
}

QPushButton *button(QWidget *form, const char *name, const QString &caption, int left)
{
    auto *control = new QPushButton(caption, form);
    control->setObjectName(QLatin1String(name));
    control->setAutoDefault(false);
    control->setDefault(false);
    place(control, left, 2160, 1215, 495);
    return control;
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setClientSize(this, 3120, 2715);

    text1 = textBox(this, "text1", 120);
    text2 = textBox(this, "text2", 600);
    text3 = textBox(this, "text3", 1080);
    text4 = textBox(this, "text4", 1560);
    label(this, "Label1", QStringLiteral("사원번호"), text1, QRect(360, 240, 1095, 375));
    label(this, "Label2", QStringLiteral("기 본 급"), text2, QRect(360, 720, 1095, 375));
    label(this, "Label3", QStringLiteral("야간시간"), text3, QRect(360, 1200, 1335, 375));
    label(this, "Label4", QStringLiteral("가족수"), text4, QRect(360, 1680, 1335, 375));
    CmdIn = button(this, "CmdIn", QStringLiteral("입력"), 120);
    CmdOut = button(this, "CmdOut", QStringLiteral("출력"), 1800);

    // The buttons come first: the form opens with the focus on "입력".
    runtime::setTabOrder({CmdIn, CmdOut, text1, text2, text3, text4});
    CmdIn->setFocus();

    onClick(CmdIn, this, [this] { CmdIn_Click(); });
    onClick(CmdOut, this, [this] { CmdOut_Click(); });
}

Form1::~Form1() = default;

void Form1::closeEvent(QCloseEvent *event)
{
    if (m_form2)
        m_form2->close();
    QWidget::closeEvent(event);
}

void Form1::CmdIn_Click()
{
    const EmpRecord entry = readEntry(text1->text(), text2->text(), text3->text(), text4->text());
    if (const std::optional<Refusal> refusal = checkEntry(entry, Module1::EmpCount)) {
        ShowMessage(this, refusal->message, QStringLiteral("입력오류"));
        const std::array<QLineEdit *, 4> boxes = {text1, text2, text3, text4};
        if (refusal->box > 0)
            boxes[refusal->box - 1]->setFocus();
        return;
    }
    Module1::Append(entry);
    for (QLineEdit *box : {text1, text2, text3, text4})
        box->clear();
}

void Form1::CmdOut_Click()
{
    if (!m_form2)
        m_form2 = std::make_unique<Form2>();
    ShowForm(*m_form2, Modality::Modeless);
}

} // namespace wagesheet
