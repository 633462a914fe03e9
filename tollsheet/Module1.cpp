#include "tollsheet/Module1.h"

namespace tollsheet::Module1 {

void Append(const CustRecord &record)
{
    const Integer next = runtime::add<Integer>(CustCount, 1);
    CustTable(next) = record;
    CustCount = next;
}

} // namespace tollsheet::Module1
