#include "wagesheet/Form1.h"

#include "runtime/rules/Results.h"
#include "runtime/desktop/Announcement.h"
#include "runtime/forms/Forms.h"
#include "wagesheet/Entry.h"
#include "wagesheet/Form2.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace wagesheet {

using namespace runtime;

Form1::Form1(QWidget *parent) : StartForm(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setAccessibleDescription(QStringLiteral("급여 계산서 입력"));
    setClientSize(this, 3120, 2715);

    text1 = addTextBox(this, "text1", QRect(1560, 120, 1215, 375));
    text2 = addTextBox(this, "text2", QRect(1560, 600, 1215, 375));
    text3 = addTextBox(this, "text3", QRect(1560, 1080, 1215, 375));
    text4 = addTextBox(this, "text4", QRect(1560, 1560, 1215, 375));
    addLabel(this, "Label1", QStringLiteral("사원번호"), text1, QRect(360, 240, 1095, 375));
    addLabel(this, "Label2", QStringLiteral("기 본 급"), text2, QRect(360, 720, 1095, 375));
    addLabel(this, "Label3", QStringLiteral("야간시간"), text3, QRect(360, 1200, 1335, 375));
    addLabel(this, "Label4", QStringLiteral("가족수"), text4, QRect(360, 1680, 1335, 375));
    CmdIn = addButton(this, "CmdIn", QStringLiteral("입력"), QRect(120, 2160, 1215, 495));
    CmdOut = addButton(this, "CmdOut", QStringLiteral("출력"), QRect(1800, 2160, 1215, 495));

    // The buttons come first: the form opens with the focus on "입력".
    runtime::setTabOrder({CmdIn, CmdOut, text1, text2, text3, text4});
    CmdIn->setFocus();

    onClick(CmdIn, this, [this] { CmdIn_Click(); });
    onClick(CmdOut, this, [this] { CmdOut_Click(); });
}

Form1::~Form1() = default;

void Form1::closeEvent(QCloseEvent *event)
{
    StartForm::closeEvent(event);
    if (event->isAccepted() && m_form2)
        m_form2->close();
}

void Form1::CmdIn_Click()
{
    const QList<QLineEdit *> boxes = {text1, text2, text3, text4};
    if (const std::optional<Refusal> refusal = enterEmployee({text1->text(), text2->text(), text3->text(), text4->text()})) {
        refuse(this, *refusal, QStringLiteral("입력오류"), boxes);
        return;
    }
    // The focus stays where the click left it.
    for (QLineEdit *box : boxes)
        box->clear();
    // Emptied boxes alone tell a screen reader user nothing; a refusal is
    // heard already, in its message box.
    announce(this, QStringLiteral("입력되었습니다"));
}

void Form1::CmdOut_Click()
{
    if (!m_form2)
        m_form2 = std::make_unique<Form2>();
    ShowForm(*m_form2, Modality::Modeless);
}

} // namespace wagesheet
