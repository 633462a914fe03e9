#include "wagesheet/Entry.h"

#include "runtime/rules/Results.h"
#include "runtime/rules/Text.h"

namespace wagesheet {

using namespace runtime;

// The employee typed into the four entry boxes, converted: the employee
// number upper-cased and cut to its first four characters, the three codes
// through TextToInteger (which may raise the overflow error). The pay code is
// read as an Integer and only then widened to the record's Long. Nothing is
// trimmed and the employee number is not checked.
static EmpRecord readEntry(const QString &text1, const QString &text2, const QString &text3, const QString &text4)
{
    const QString empNo = MidText(UpperCase(text1), 1, 4);
    const Integer payCode = TextToInteger(text2);
    const Integer nightCode = TextToInteger(text3);
    const Integer familyCount = TextToInteger(text4);

    EmpRecord entry;
    entry.EmpNo = empNo;
    entry.PayCode = payCode;
    entry.NightCode = nightCode;
    entry.FamilyCount = familyCount;
    return entry;
}

std::optional<Refusal> checkEntry(const EmpRecord &entry, Integer empCount)
{
    if (empCount >= EmpTableType::Size)
        return Refusal{QStringLiteral("최대입력 건수는 7건 이하로 한다."), 0};
    if (entry.PayCode < 1 || entry.PayCode > 4)
        return Refusal{QStringLiteral("기본급은 1에서 4사이의 정수한자리입니다."), 2};
    if (entry.NightCode < 1 || entry.NightCode > 4)
        return Refusal{QStringLiteral("야간수당은 1에서 4사이의 정수한자리입니다."), 3};
    if (entry.FamilyCount < 1 || entry.FamilyCount > 5)
        return Refusal{QStringLiteral("가족수는 1에서 5사이의 정수한자리입니다."), 4};
    return std::nullopt;
}

std::optional<Refusal> enterEmployee(const std::array<QString, 4> &boxes)
{
    const EmpRecord entry = readEntry(boxes[0], boxes[1], boxes[2], boxes[3]);
    std::optional<Refusal> refusal = checkEntry(entry, Module1::EmpCount);
    if (!refusal)
        Module1::Append(entry);
    return refusal;
}

} // namespace wagesheet
