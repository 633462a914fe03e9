#pragma once

#include "runtime/rules/Numbers.h"

#include <QString>

namespace tollsheet {

using runtime::Integer;

// One subscriber.
struct CustRecord {
    Integer CustNo = 0;
    QString GradeCode;
    QString VoiceSvc;
    QString TextSvc;
    Integer CallTime = 0;

    bool operator==(const CustRecord &) const = default;
};

using CustTableType = runtime::Table<CustRecord, 7>;

// The program's only data: seven subscriber slots, numbered 1 to 7, and the
// count of filled ones. Slots 1 to CustCount hold the entered subscribers.
namespace Module1 {
inline CustTableType CustTable;
inline Integer CustCount = 0;

// Stores a subscriber in the next free slot. The caller checks that a slot is
// free; if none is, the subscript error is raised and nothing changes.
void Append(const CustRecord &record);
} // namespace Module1

} // namespace tollsheet
