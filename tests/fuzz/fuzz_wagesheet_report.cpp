// wagesheet's payroll report on any table and any count, judged by the model:
// both boxes' exact text, the table only read, and the error a pay code that
// is no Integer or a count past the table raises.
//
// Input: the count, then the seven slots.
#include "FuzzChecks.h"

#include "wagesheet/Payroll.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    checkReport<EmpTableType>(in, readRecord, buildPayrollReport, model::payrollReport);
    return 0;
}
