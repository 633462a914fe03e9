#pragma once

#include "runtime/rules/Numbers.h"

#include <QString>

namespace wagesheet {

using runtime::Integer;
using runtime::Long;

// One employee.
struct EmpRecord {
    QString EmpNo;
    Long PayCode = 0;
    Integer NightCode = 0;
    Integer FamilyCount = 0;

    bool operator==(const EmpRecord &) const = default;
};

using EmpTableType = runtime::Table<EmpRecord, 7>;

// The program's only data: seven employee slots, numbered 1 to 7, and the
// count of filled ones. Slots 1 to EmpCount hold the entered employees in
// entry order; the report only reads them.
namespace Module1 {
inline EmpTableType EmpTable;
inline Integer EmpCount = 0;

// Stores an employee in the next free slot. The caller checks that a slot is
// free; if none is, the subscript error is raised and nothing changes.
void Append(const EmpRecord &record);
} // namespace Module1

} // namespace wagesheet
