#include "tollsheet/Module1.h"

namespace tollsheet::Module1 {

void Append(const CustRecord &record)
{
    CustTable.append(CustCount, record);
}

} // namespace tollsheet::Module1
