// One click of tollsheet's "입력" on any table state and any five box texts,
// judged by the model: the same error, or the same message and focus box, or
// exactly the model's subscriber appended.
//
// Input: the five box texts, the count (0..7), then the seven slots.
#include "FuzzChecks.h"

#include "tollsheet/Entry.h"

using namespace tollsheet;
using namespace fuzz;

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    const auto click = readClick<CustTableType>(in, 5, readRecord);
    checkClick(Module1::CustTable, Module1::CustCount, click, model::tollsheetEntry(click.boxes, click.count),
               [](const QStringList &b) { return enterSubscriber({b[0], b[1], b[2], b[3], b[4]}); });
    return 0;
}
