#include "tollsheet/Form1.h"

#include "runtime/rules/Results.h"
#include "runtime/desktop/Announcement.h"
#include "runtime/forms/Fonts.h"
#include "runtime/forms/Forms.h"
#include "tollsheet/Entry.h"
#include "tollsheet/Form2.h"

#include <QLineEdit>
#include <QPushButton>

namespace tollsheet {

using namespace runtime;

Form1::Form1(QWidget *parent) : StartForm(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setAccessibleDescription(QStringLiteral("전화요금 청구서 입력"));
    setFont(formFont());
    setClientSize(this, 5175, 3945);

    Text1 = addTextBox(this, "Text1", QRect(2400, 360, 1815, 375));
    Text2 = addTextBox(this, "Text2", QRect(2400, 840, 1815, 375));
    Text3 = addTextBox(this, "Text3", QRect(2400, 1320, 1815, 375));
    Text4 = addTextBox(this, "Text4", QRect(2400, 1800, 1815, 375));
    Text5 = addTextBox(this, "Text5", QRect(2400, 2280, 1815, 375));
    addLabel(this, "Label1", QStringLiteral("고객번호"), Text1, QRect(840, 480, 1455, 255));
    addLabel(this, "Label2", QStringLiteral("등급코드"), Text2, QRect(840, 840, 1455, 255));
    addLabel(this, "Label3", QStringLiteral("음성서비스가입여부"), Text3, QRect(840, 1200, 1335, 495));
    addLabel(this, "Label4", QStringLiteral("문자서비스가입여부"), Text4, QRect(840, 1800, 1335, 495));
    addLabel(this, "Label5", QStringLiteral("전화사용시간"), Text5, QRect(840, 2400, 1455, 255));
    Command1 = addButton(this, "Command1", QStringLiteral("입력"), QRect(840, 3120, 1215, 495));
    Command2 = addButton(this, "Command2", QStringLiteral("출력"), QRect(3000, 3120, 1215, 495));

    runtime::setTabOrder({Text1, Text2, Text3, Text4, Text5, Command1, Command2});
    Text1->setFocus();
    centreOnScreen(this);

    onClick(Command1, this, [this] { Command1_Click(); });
    onClick(Command2, this, [this] { Command2_Click(); });
}

void Form1::Command1_Click()
{
    const QList<QLineEdit *> boxes = {Text1, Text2, Text3, Text4, Text5};
    if (const std::optional<Refusal> refusal =
            enterSubscriber({Text1->text(), Text2->text(), Text3->text(), Text4->text(), Text5->text()})) {
        refuse(this, *refusal, QStringLiteral("입력 오류"), boxes);
        return;
    }
    // The focus reaches Text1 before the boxes are emptied, so that a screen
    // reader hears it. Emptying a box moves its caret, and Orca (43) reads
    // each event only after the whole click has run: a caret event from Text1
    // sent before the focus moved finds Text1 focused by then, and Orca takes
    // it for a silent focus change, after which the focus event itself says
    // nothing. Sent after the focus event, the caret event is ignored.
    Text1->setFocus();
    for (QLineEdit *box : boxes)
        box->clear();
    // Emptied boxes alone tell a screen reader user nothing; a refusal is
    // heard already, in its message box.
    announce(this, QStringLiteral("입력되었습니다"));
}

void Form1::Command2_Click()
{
    if (!m_form2)
        m_form2 = new Form2(this);
    ShowForm(*m_form2, Modality::Modal);
}

} // namespace tollsheet
