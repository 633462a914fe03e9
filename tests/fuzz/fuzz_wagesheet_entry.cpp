// One click of wagesheet's "입력" on any table state and any four box texts,
// judged by the model: the same error, or the same message and focus box, or
// exactly the model's employee appended.
//
// Input: the four box texts, the count (0..7), then the seven slots.
#include "FuzzChecks.h"

#include "wagesheet/Entry.h"

using namespace wagesheet;
using namespace fuzz;

namespace {

// A braced list reads its values in order.
EmpRecord readRecord(FuzzInput &in) { return {in.text(12), in.i32(), in.i16(), in.i16()}; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    const auto click = readClick<EmpTableType>(in, 4, readRecord);
    checkClick(Module1::EmpTable, Module1::EmpCount, click, model::wagesheetEntry(click.boxes, click.count),
               [](const QStringList &b) { return enterEmployee({b[0], b[1], b[2], b[3]}); });
    return 0;
}
