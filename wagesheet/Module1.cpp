#include "wagesheet/Module1.h"

namespace wagesheet::Module1 {

void Append(const EmpRecord &record)
{
    const Integer next = runtime::add<Integer>(EmpCount, 1);
    EmpTable(next) = record;
    EmpCount = next;
}

} // namespace wagesheet::Module1
