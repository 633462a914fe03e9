// wagesheet's payroll report on any table and any count: one listing line and
// one pay line per employee, each its record's own, the table only read. The
// only error inside the table is a pay code that is no Integer; past the table
// the report stops at the first missing slot.
//
// Input: the count, then the seven slots.
#include "FuzzChecks.h"

#include "wagesheet/Payroll.h"

#include <algorithm>
#include <climits>

using namespace wagesheet;
using namespace fuzz;

namespace {

// An employee number of the usual shape, or any text (line ends included).
QString readEmpNo(FuzzInput &in)
{
    static const QString Numbers[] = {"B012", "H512", "C911", "DX12", "A1", "G9", "A", "", "a123", "E\r\n1", "F7\r\n"};
    const std::uint8_t mode = in.u8();
    return mode < 0x80 ? Numbers[mode % std::size(Numbers)] : in.text(16);
}

// A code: mostly near 1..5, sometimes anything an Integer holds.
Integer readCode(FuzzInput &in)
{
    const std::uint8_t mode = in.u8();
    const Integer raw = in.i16();
    return mode < 0xC0 ? Integer(mode % 7 - 1) : raw;
}

// A pay code: mostly near 1..4, sometimes past the Integer range.
Long readPayCode(FuzzInput &in)
{
    static const Long Edges[] = {32767, 32768, -32768, -32769, INT32_MIN, INT32_MAX, 65536, 65537};
    const std::uint8_t mode = in.u8();
    const Long raw = in.i32();
    return mode < 0xA0 ? mode % 7 - 1 : mode < 0xC0 ? Edges[mode % 8] : mode < 0xE0 ? Integer(raw) : raw;
}

// A braced list reads its values in order.
EmpRecord readRecord(FuzzInput &in) { return {readEmpNo(in), readPayCode(in), readCode(in), readCode(in)}; }

QString lead(const EmpRecord &r) { return QString(5, u' ') + r.EmpNo + u' '; }

void checkRun(Integer count, const EmpTableType &input, const ReportBoxes &heading, const Report<EmpTableType> &run)
{
    FUZZ_CHECK(run.table == input);

    // The slots the report reaches, and the first of them whose pay code is no Integer.
    const int reached = std::clamp<int>(count, 0, EmpTableType::Size);
    int badPayCode = 0;
    for (int k = reached; k >= 1; --k) {
        if (input(k).PayCode != Integer(input(k).PayCode))
            badPayCode = k;
    }
    const int written = badPayCode ? badPayCode - 1 : reached;
    FUZZ_CHECK(run.error == (badPayCode                    ? std::optional(Kind::Overflow)
                             : count > EmpTableType::Size ? std::optional(Kind::SubscriptOutOfRange)
                                                          : std::nullopt));

    // Both boxes: one line per employee, starting with five blanks and the
    // number; the listing goes on with the three codes, the pay line with no
    // other field text.
    const auto lineEnds = [&](int k) { return 1 + occurrences(input(k).EmpNo, CRLF); };
    checkLines(run.boxes.Text1, heading.Text1, written, lineEnds, [&](int k, const QString &line) {
        const EmpRecord &r = input(k);
        checkLine(line, lead(r), {decimal(r.PayCode), decimal(r.NightCode)}, u' ' + decimal(r.FamilyCount) + CRLF);
    });
    checkLines(run.boxes.Text2, heading.Text2, written, lineEnds,
               [&](int k, const QString &line) { checkBareLine(line, lead(input(k))); });
    checkOwnLines(buildPayrollReport, run.boxes, heading, input, input, written);
    if (badPayCode) {
        EmpTableType one;
        one(1) = input(badPayCode);
        FUZZ_CHECK(report(buildPayrollReport, one, 1).error == Kind::Overflow);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    checkReport<EmpTableType>(in, readRecord, buildPayrollReport, 1, 1, checkRun);
    return 0;
}
