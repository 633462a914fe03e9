#include "wagesheet/Module1.h"

namespace wagesheet::Module1 {

void Append(const EmpRecord &record)
{
    EmpTable.append(EmpCount, record);
}

} // namespace wagesheet::Module1
