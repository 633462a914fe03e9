#pragma once

#include "runtime/rules/Results.h"
#include "runtime/rules/Text.h"
#include "wagesheet/Module1.h"

namespace wagesheet {

// Writes the payroll report of slots 1 to `count` into `boxes`: each box is
// given its heading, then every employee gets one line in each box, the
// upper listing the record as entered, the lower the department and the pay.
// Each employee's values are looked up afresh: a number, letter or code that
// selects nothing gives an empty department or an amount of 0. Every line
// ends in CRLF. The report's table gets the lower box's column names and a
// row of each employee's figures. The employee table is only read. A run-time
// error stops the report; the lines and rows of the employees finished before
// it stay.
void buildPayrollReport(const EmpTableType &table, Integer count, runtime::ReportBoxes &boxes);

} // namespace wagesheet
