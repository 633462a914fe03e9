// Both programs' rules written a second time, plainly, for the tests to judge
// the programs by: what one click of "입력" must answer, and the exact text
// of each report. It shares only the record types with the programs, and of
// the runtime only TextToInteger, which fuzz_text checks against GMP. Its
// messages are in tests/messages.json, its rules in Model.cpp, built once as
// the library `model`, so that a changed tariff recompiles one file.
#pragma once

#include "runtime/rules/Errors.h"
#include "tollsheet/Module1.h"
#include "wagesheet/Module1.h"

#include <QStringList>
#include <optional>

namespace model {

using Kind = runtime::RuntimeError::Kind;
using tollsheet::CustRecord;
using tollsheet::CustTableType;
using wagesheet::EmpRecord;
using wagesheet::EmpTableType;

// What one click of "입력" must do: raise a run-time error (its box titled
// with the program's name), or show `message` in a box titled `title`, or
// store `stored` in the next slot and empty the boxes. Afterwards box `focus`
// (counted from 1) has the focus; 0 leaves it where the click put it.
template <class Record>
struct Entry {
    std::optional<Kind> error = {};
    QString title = {};
    QString message = {};
    int focus = 0;
    std::optional<Record> stored = {};
};

// What a report writes into its two boxes and the rows "표로 복사" copies, the
// table as the report leaves it, and the run-time error that stopped it, if any.
template <class Table>
struct Report {
    QString text1;
    QString text2;
    Table table;
    std::optional<Kind> error;
    QList<QStringList> rows; // a row of cells per line of figures, amounts as plain integers
};

// One click of "입력" on the boxes' texts, `count` records stored; a report
// of `count` slots of `table`.
Entry<CustRecord> tollsheetEntry(const QStringList &box, int count);
Report<CustTableType> billingReport(const CustTableType &table, int count);
Entry<EmpRecord> wagesheetEntry(const QStringList &box, int count);
Report<EmpTableType> payrollReport(const EmpTableType &table, int count);

} // namespace model
