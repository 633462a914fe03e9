#include "tollsheet/Form2.h"

#include "runtime/rules/Results.h"
#include "runtime/forms/Boxes.h"
#include "runtime/forms/Fonts.h"
#include "runtime/desktop/PrintActions.h"
#include "tollsheet/Billing.h"

#include <QGroupBox>
#include <QScopeGuard>

namespace tollsheet {

using namespace runtime;

namespace {

// A frame at `top` holding one report box, which takes the frame's caption as
// its accessible name.
MultiLineBox *framedBox(QWidget *form, const char *frameName, const char *boxName, const QString &caption, int top)
{
    auto *frame = new QGroupBox(caption, form);
    frame->setObjectName(QLatin1String(frameName));
    place(frame, QRect(240, top, 7335, 2295));
    MultiLineBox *box = addReportBox(frame, boxName, caption, QRect(120, 240, 7095, 1935));
    box->setFont(reportFont());
    return box;
}

} // namespace

Form2::Form2(QWidget *parent) : LoadableForm(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setAccessibleDescription(QStringLiteral("전화요금 청구서 출력"));
    setFont(formFont());
    setClientSize(this, 7815, 5355);
    Text1 = framedBox(this, "Frame1", "Text1", QStringLiteral("입력된 자료"), 240);
    Text2 = framedBox(this, "Frame2", "Text2", QStringLiteral("출력자료"), 2760);
    runtime::setTabOrder({Text1, Text2});
    printer = addPrintActions(this, QStringLiteral("전화요금 청구서"), {Text1, Text2});
    centreOnScreen(this);
}

void Form2::Form_Load()
{
    writeReport(Text1, Text2, [this](ReportBoxes &report) {
        const auto keepTable = qScopeGuard([&] { printer->setTable(report.table); });
        buildBillingReport(Module1::CustTable, Module1::CustCount, report);
    });
}

} // namespace tollsheet
