// One click of wagesheet's "입력" on any table state and any four box texts:
// either exactly the converted employee is appended and it obeys the entry
// rules, or nothing changes at all.
//
// Input: the four box texts, the count (0..7), then the seven slots.
#include "FuzzChecks.h"

#include "wagesheet/Entry.h"

#include <algorithm>

using namespace wagesheet;
using namespace fuzz;
using runtime::TextToInteger;
using runtime::UpperCase;

namespace {

// A braced list reads its values in order.
EmpRecord readRecord(FuzzInput &in) { return {in.text(12), in.i32(), in.i16(), in.i16()}; }

// The box a click refuses `r` with (0: the table is full), or nothing. The
// table is checked before any field.
std::optional<int> refusedBox(const EmpRecord &r, Integer count)
{
    if (count == EmpTableType::Size)
        return 0;
    if (r.PayCode < 1 || r.PayCode > 4)
        return 2;
    if (r.NightCode < 1 || r.NightCode > 4)
        return 3;
    if (r.FamilyCount < 1 || r.FamilyCount > 5)
        return 4;
    return std::nullopt;
}

// What the boxes convert to, each on its own; nothing when a number overflows.
// The number is the first four characters of the upper-cased box, no pair split.
std::optional<EmpRecord> convert(const std::array<QString, 4> &b)
{
    if (overflows(b[1]) || overflows(b[2]) || overflows(b[3]))
        return std::nullopt;
    const EmpRecord entry = readEntry(b[0], b[1], b[2], b[3]);
    const QString upper = UpperCase(b[0]);
    FUZZ_CHECK(upper.startsWith(entry.EmpNo));
    FUZZ_CHECK(codePoints(entry.EmpNo) == std::min(4, codePoints(upper)));
    FUZZ_CHECK(codePoints(upper.sliced(entry.EmpNo.size())) + codePoints(entry.EmpNo) == codePoints(upper));
    FUZZ_CHECK(entry == EmpRecord{entry.EmpNo, TextToInteger(b[1]), TextToInteger(b[2]), TextToInteger(b[3])});
    return entry;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    checkClick(Module1::EmpTable, Module1::EmpCount, readClick<4, EmpTableType>(in, readRecord), convert, refusedBox,
               enterEmployee);
    return 0;
}
