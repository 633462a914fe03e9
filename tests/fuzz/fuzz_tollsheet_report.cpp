// tollsheet's billing report on any table and any count: one listing line and
// one billing line per subscriber, each its record's own, the table sorted in
// place; a count past the table stops the report at the first missing slot.
//
// Input: the count, then the seven slots.
#include "FuzzChecks.h"

#include "tollsheet/Billing.h"

#include <algorithm>

using namespace tollsheet;
using namespace fuzz;

namespace {

// A code the report looks up, or any text (line ends included).
QString readCode(FuzzInput &in)
{
    static const QString Codes[] = {"S", "F", "I", "C", "Y", "N", "", "s", "\r\n", "S\r\nY"};
    const std::uint8_t mode = in.u8();
    return mode < 0x80 ? Codes[mode % std::size(Codes)] : in.text(24);
}

CustRecord readRecord(FuzzInput &in)
{
    CustRecord r;
    const std::uint8_t numberMode = in.u8();
    const Integer number = in.i16();
    r.CustNo = numberMode < 0xC0 ? Integer(numberMode % 12 - 1) : number; // small numbers repeat
    r.GradeCode = readCode(in);
    r.VoiceSvc = readCode(in);
    r.TextSvc = readCode(in);
    const std::uint8_t timeMode = in.u8();
    const Integer time = in.i16();
    r.CallTime = timeMode < 0x80 ? Integer(std::uint16_t(time) % 1200) : time;
    return r;
}

QString lead(const CustRecord &r) { return QString(6, u' ') + decimal(r.CustNo) + u' '; }

// The listing box: slots 1..n of `table` in slot order, one line each: six
// blanks, the number, the three codes as entered, the time.
void checkListing(const QString &text, const QString &heading, const CustTableType &table, int n)
{
    const auto lineEnds = [&](int k) {
        const CustRecord &r = table(k);
        return 1 + occurrences(r.GradeCode, CRLF) + occurrences(r.VoiceSvc, CRLF) + occurrences(r.TextSvc, CRLF);
    };
    checkLines(text, heading, n, lineEnds, [&](int k, const QString &line) {
        const CustRecord &r = table(k);
        checkLine(line, lead(r), {r.GradeCode, r.VoiceSvc, r.TextSvc}, u' ' + decimal(r.CallTime) + CRLF);
    });
}

// Slots 1..n of `after` are slots 1..n of `before` in some order, by number
// from low to high; the slots above n are as they were.
void checkSorted(const CustTableType &before, const CustTableType &after, int n)
{
    bool used[CustTableType::Size + 1] = {};
    for (int j = 1; j <= n; ++j) {
        int match = 1;
        while (match <= n && (used[match] || !(before(match) == after(j))))
            ++match;
        FUZZ_CHECK(match <= n);
        used[match] = true;
        FUZZ_CHECK(j == 1 || after(j - 1).CustNo <= after(j).CustNo);
    }
    for (int j = n + 1; j <= CustTableType::Size; ++j)
        FUZZ_CHECK(after(j) == before(j));
}

void checkRun(Integer count, const CustTableType &input, const ReportBoxes &heading, const Report<CustTableType> &run)
{
    // A negative count lists nothing and only the sort's last index, count - 1,
    // can leave the Integer range; past the table the listing stops at slot 8,
    // before the sort.
    const int listed = std::clamp<int>(count, 0, CustTableType::Size);
    FUZZ_CHECK(run.error == (count == -32768                 ? std::optional(Kind::Overflow)
                             : count > CustTableType::Size ? std::optional(Kind::SubscriptOutOfRange)
                                                           : std::nullopt));
    checkListing(run.boxes.Text1, heading.Text1, input, listed);
    if (count != listed) {
        FUZZ_CHECK(run.boxes.Text2 == heading.Text2 && run.table == input);
        return;
    }
    checkSorted(input, run.table, count);
    checkLines(run.boxes.Text2, heading.Text2, count, [](int) { return 1; },
               [&](int k, const QString &line) { checkBareLine(line, lead(run.table(k))); });
    checkOwnLines(buildBillingReport, run.boxes, heading, input, run.table, count);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    checkReport<CustTableType>(in, readRecord, buildBillingReport, 1, 3, checkRun);
    return 0;
}
