#pragma once

#include "runtime/rules/Results.h"
#include "runtime/rules/Text.h"
#include "tollsheet/Module1.h"

namespace tollsheet {

// Writes the billing report into `boxes`: the upper box lists slots 1 to
// `count` as they stand, the table is then sorted by customer number in place,
// and the lower box gets one charge line per subscriber. Every line ends in
// CRLF. The table gets the lower box's column names and, for each charge
// line, its figures. A run-time error stops the report; the lines and rows
// written so far stay.
void buildBillingReport(CustTableType &table, Integer count, runtime::ReportBoxes &boxes);

} // namespace tollsheet
