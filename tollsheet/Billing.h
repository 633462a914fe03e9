#pragma once

#include "runtime/Text.h"
#include "tollsheet/Module1.h"

namespace tollsheet {

using runtime::Long;

// One row of the grade tariff.
struct GradeTariff {
    QString GradeCode;
    QString GradeName;
    Long BaseFee = 0;
    Long TierLimit = 0;
    Long TierRate = 0;
    Long ExcessRate = 0;
    Long DiscountRate = 0;
};

// The tariff row of a grade code, compared exactly; an empty tariff (no name,
// all amounts 0) for a code that has none.
const GradeTariff &findGrade(const QString &gradeCode);

// Writes the billing report into `boxes`: the upper box lists slots 1 to
// `count` as they stand, the table is then sorted by customer number in place,
// and the lower box gets one charge line per subscriber. Every line ends in
// CRLF. A run-time error stops the report; the lines written so far stay.
void buildBillingReport(CustTableType &table, Integer count, runtime::ReportBoxes &boxes);

} // namespace tollsheet
