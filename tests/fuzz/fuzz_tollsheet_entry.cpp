// One click of tollsheet's "입력" on any table state and any five box texts:
// either exactly the converted subscriber is appended and it obeys the entry
// rules, or nothing changes at all.
//
// Input: the five box texts, the count (0..7), then the seven slots.
#include "FuzzChecks.h"

#include "tollsheet/Entry.h"

using namespace tollsheet;
using namespace fuzz;
using runtime::CompareText;
using runtime::TextToInteger;
using runtime::UpperCase;

namespace {

// A short text, often one of the codes the rules look at.
QString readCode(FuzzInput &in)
{
    static const QString Codes[] = {"Y", "N", "S", "F", "I", "C", "A", "Z", ""};
    const std::uint8_t mode = in.u8();
    return mode < 0x80 ? Codes[mode % std::size(Codes)] : in.text(12);
}

// A braced list reads its values in order.
CustRecord readRecord(FuzzInput &in) { return {in.i16(), readCode(in), readCode(in), readCode(in), in.i16()}; }

// The box a click refuses `r` with (0: the table is full), or nothing. Every
// field is checked before the table.
std::optional<int> refusedBox(const CustRecord &r, Integer count)
{
    const auto yesOrNo = [](const QString &flag) { return flag == u"Y" || flag == u"N"; };
    if (r.CustNo < 0 || r.CustNo > 9)
        return 1;
    if (codePoints(r.GradeCode) != 1 || CompareText(r.GradeCode, QStringLiteral("A")) < 0
        || CompareText(r.GradeCode, QStringLiteral("Z")) > 0)
        return 2;
    if (!yesOrNo(r.VoiceSvc))
        return 3;
    if (!yesOrNo(r.TextSvc))
        return 4;
    if (r.CallTime < 0 || r.CallTime > 999)
        return 5;
    if (count == CustTableType::Size)
        return 0;
    return std::nullopt;
}

// What the boxes convert to, each on its own; nothing when a number overflows.
std::optional<CustRecord> convert(const std::array<QString, 5> &b)
{
    if (overflows(b[0]) || overflows(b[4]))
        return std::nullopt;
    const CustRecord entry = readEntry(b[0], b[1], b[2], b[3], b[4]);
    FUZZ_CHECK(entry == CustRecord{TextToInteger(b[0]), UpperCase(b[1]), UpperCase(b[2]), UpperCase(b[3]),
                                   TextToInteger(b[4])});
    return entry;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    checkClick(Module1::CustTable, Module1::CustCount, readClick<5, CustTableType>(in, readRecord), convert,
               refusedBox, enterSubscriber);
    return 0;
}
