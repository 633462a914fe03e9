#include "wagesheet/Form2.h"

#include "runtime/rules/Results.h"
#include "runtime/forms/Boxes.h"
#include "runtime/desktop/PrintActions.h"
#include "wagesheet/Payroll.h"

#include <QScopeGuard>

namespace wagesheet {

using namespace runtime;

Form2::Form2(QWidget *parent) : LoadableForm(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setAccessibleDescription(QStringLiteral("급여 계산서 출력"));
    setClientSize(this, 6570, 4200);
    Text1 = addReportBox(this, "Text1", QStringLiteral("입력 자료"), QRect(120, 360, 6375, 1695));
    Text2 = addReportBox(this, "Text2", QStringLiteral("출력 자료"), QRect(120, 2400, 6375, 1695));
    runtime::setTabOrder({Text1, Text2});
    // Prints what the boxes show and copies the table written with them,
    // however old: neither loads the form.
    printer = addPrintActions(this, QStringLiteral("급여 계산서"), {Text1, Text2});
}

void Form2::Form_Load()
{
    writeReport(Text1, Text2, [this](ReportBoxes &report) {
        const auto keepTable = qScopeGuard([&] { printer->setTable(report.table); });
        buildPayrollReport(Module1::EmpTable, Module1::EmpCount, report);
    });
}

} // namespace wagesheet
