// tollsheet's billing report on any table and any count, judged by the
// model: both boxes' exact text, the order the sort leaves, and the error a
// count past the table (or the smallest Integer) raises.
//
// Input: the count, then the seven slots.
#include "FuzzChecks.h"

#include "tollsheet/Billing.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    checkReport<CustTableType>(in, readRecord, buildBillingReport, model::billingReport);
    return 0;
}
