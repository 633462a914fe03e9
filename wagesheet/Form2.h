#pragma once

#include "runtime/forms/Forms.h"

namespace runtime {
class MultiLineBox;
class ReportPrinter;
}

namespace wagesheet {

// The payroll report. Loading it writes both boxes, and the report's table
// for "표로 복사"; the employee table is only read.
class Form2 : public runtime::LoadableForm {
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);

protected:
    void Form_Load() override;

private:
    runtime::MultiLineBox *Text1, *Text2;
    runtime::ReportPrinter *printer;
};

} // namespace wagesheet
