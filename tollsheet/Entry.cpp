#include "tollsheet/Entry.h"

#include "runtime/rules/Results.h"
#include "runtime/rules/Text.h"

namespace tollsheet {

using namespace runtime;

// The subscriber typed into the five entry boxes, converted: the two numbers
// through TextToInteger (which may raise the overflow error), the three codes
// upper-cased. Nothing is trimmed.
static CustRecord readEntry(const QString &text1, const QString &text2, const QString &text3,
                            const QString &text4, const QString &text5)
{
    CustRecord entry;
    entry.CustNo = TextToInteger(text1);
    entry.GradeCode = UpperCase(text2);
    entry.VoiceSvc = UpperCase(text3);
    entry.TextSvc = UpperCase(text4);
    entry.CallTime = TextToInteger(text5);
    return entry;
}

static bool isYesOrNo(const QString &flag)
{
    return CompareText(flag, u"Y") == 0 || CompareText(flag, u"N") == 0;
}

// Exactly one character, from "A" to "Z". A code of several letters ("SS", a
// key pressed twice) is refused, as the form's message says.
static bool isGradeLetter(const QString &code)
{
    return CharacterCount(code) == 1 && CompareText(code, u"A") >= 0 && CompareText(code, u"Z") <= 0;
}

std::optional<Refusal> checkEntry(const CustRecord &entry, Integer custCount)
{
    if (entry.CustNo < 0 || entry.CustNo > 9)
        return Refusal{QStringLiteral("고객번호는 정수 1자리로 입력되어야 합니다"), 1};
    if (!isGradeLetter(entry.GradeCode))
        return Refusal{QStringLiteral("등급코드 영문자 1자리로 입력되어야 합니다"), 2};
    if (!isYesOrNo(entry.VoiceSvc))
        return Refusal{QStringLiteral("음성서비스가입여부는 Y,N만 입력가능합니다."), 3};
    if (!isYesOrNo(entry.TextSvc))
        return Refusal{QStringLiteral("문자서비스가입여부는 Y,N만 입력가능합니다."), 4};
    if (entry.CallTime < 0 || entry.CallTime > 999)
        return Refusal{QStringLiteral("전화사용시간은 정수 3자리로 입력해야합니다."), 5};
    if (custCount >= CustTableType::Size)
        return Refusal{QStringLiteral("최대 입력자료의 수는 7건 입니다"), 0};
    return std::nullopt;
}

std::optional<Refusal> enterSubscriber(const std::array<QString, 5> &boxes)
{
    const CustRecord entry = readEntry(boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]);
    std::optional<Refusal> refusal = checkEntry(entry, Module1::CustCount);
    if (!refusal)
        Module1::Append(entry);
    return refusal;
}

} // namespace tollsheet
