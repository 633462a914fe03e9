#include "wagesheet/Form2.h"

#include "runtime/Boxes.h"
#include "wagesheet/Payroll.h"

#include <QScopeGuard>

namespace wagesheet {

using namespace runtime;

namespace {

MultiLineBox *reportBox(QWidget *form, const char *name, const QString &accessibleName, int top)
{
    auto *box = new MultiLineBox(form);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    place(box, 120, top, 6375, 1695);
    return box;
}

} // namespace

Form2::Form2(QWidget *parent) : LoadableForm(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setClientSize(this, 6570, 4200);
    Text1 = reportBox(this, "Text1", QStringLiteral("입력 자료"), 360);
    Text2 = reportBox(this, "Text2", QStringLiteral("출력 자료"), 2400);
    runtime::setTabOrder({Text1, Text2});
}

void Form2::Form_Load()
{
    // The boxes get whatever was written, also when an error stops the report.
    ReportBoxes report;
    const auto assign = qScopeGuard([&] {
        Text1->setText(report.Text1);
        Text2->setText(report.Text2);
    });
    buildPayrollReport(Module1::EmpTable, Module1::EmpCount, report);
}

} // namespace wagesheet
