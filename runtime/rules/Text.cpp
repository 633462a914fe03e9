#include "runtime/rules/Text.h"

#include <optional>

namespace runtime {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// A decimal number as written: sign, integer digits, fraction digits.
struct Decimal {
    bool negative = false;
    QStringView whole;
    QStringView fraction;
    qsizetype end = 0; // index just past the number
};

// Reads a decimal number starting at `pos`; nothing when no digit is found.
std::optional<Decimal> readDecimal(QStringView text, qsizetype pos)
{
    Decimal number;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        number.negative = text[pos] == u'-';
        ++pos;
    }
    const qsizetype wholeStart = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    number.whole = text.sliced(wholeStart, pos - wholeStart);
    if (pos < text.size() && text[pos] == u'.') {
        const qsizetype fractionStart = ++pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        number.fraction = text.sliced(fractionStart, pos - fractionStart);
    }
    if (number.whole.isEmpty() && number.fraction.isEmpty())
        return std::nullopt;
    number.end = pos;
    return number;
}

// Rounds the exact decimal to the nearest Integer, a half to the even neighbour.
Integer roundToInteger(const Decimal &number)
{
    QStringView whole = number.whole;
    while (!whole.isEmpty() && whole.front() == u'0')
        whole = whole.sliced(1);
    if (whole.size() > 5) // at least 100000: out of range whatever the sign
        throw RuntimeError(RuntimeError::Kind::Overflow);

    std::int64_t magnitude = 0;
    for (QChar digit : whole)
        magnitude = magnitude * 10 + (digit.unicode() - u'0');

    if (!number.fraction.isEmpty()) {
        const QChar first = number.fraction.front();
        bool up = first > u'5';
        if (first == u'5') {
            bool beyondHalf = false;
            for (QChar digit : number.fraction.sliced(1))
                beyondHalf = beyondHalf || digit != u'0';
            up = beyondHalf || magnitude % 2 != 0;
        }
        if (up)
            ++magnitude;
    }
    return checked<Integer>(number.negative ? -magnitude : magnitude);
}

QString grouped(std::int64_t value)
{
    // Built from the magnitude as unsigned, so the smallest int64 is safe too.
    const bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0 - std::uint64_t(value) : std::uint64_t(value);
    QString digits;
    int count = 0;
    do {
        if (count > 0 && count % 3 == 0)
            digits.prepend(u',');
        digits.prepend(QChar(u'0' + int(magnitude % 10)));
        magnitude /= 10;
        ++count;
    } while (magnitude != 0);
    if (negative)
        digits.prepend(u'-');
    return digits;
}

[[noreturn]] void invalidArgument()
{
    throw RuntimeError(RuntimeError::Kind::InvalidArgument);
}

bool startsPair(QStringView text, qsizetype unit)
{
    return text[unit].isHighSurrogate() && unit + 1 < text.size() && text[unit + 1].isLowSurrogate();
}

// The code point at `unit`, moving `unit` past it. A lone surrogate stands for
// itself, so no two different texts ever compare equal.
char32_t codePointAt(QStringView text, qsizetype &unit)
{
    if (startsPair(text, unit)) {
        const char32_t point = QChar::surrogateToUcs4(text[unit], text[unit + 1]);
        unit += 2;
        return point;
    }
    return text[unit++].unicode();
}

// Index of the UTF-16 unit where character `n` (from 0) begins, or the text's
// size when it has fewer characters.
qsizetype unitIndexOfCharacter(QStringView text, qsizetype n)
{
    qsizetype unit = 0;
    for (; n > 0 && unit < text.size(); --n)
        unit += startsPair(text, unit) ? 2 : 1;
    return unit;
}

} // namespace

Integer TextToInteger(const QString &text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    const std::optional<Decimal> number = readDecimal(text, pos);
    return number ? roundToInteger(*number) : Integer(0);
}

Integer ValueToInteger(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    const QStringView trimmed = QStringView(text).sliced(begin, end - begin);
    const std::optional<Decimal> number = readDecimal(trimmed, 0);
    if (!number || number->end != trimmed.size())
        throw RuntimeError(RuntimeError::Kind::TypeMismatch);
    return roundToInteger(*number);
}

QString IntegerToText(Integer value) { return QString::number(value); }
QString LongToText(Long value) { return QString::number(value); }

QString FormatValue(std::int64_t value, QStringView pattern)
{
    if (pattern == u"###,##0")
        return grouped(value);
    if (pattern == u"###,###")
        return value == 0 ? QString() : grouped(value);
    invalidArgument();
}

QString FormatValue(Currency value, QStringView pattern)
{
    return FormatValue(value.rounded(), pattern);
}

QString FormatValue(const QString &text, QStringView pattern)
{
    if (pattern == u"@@@@@@@") {
        const int missing = 7 - CharacterCount(text);
        return missing > 0 ? QString(missing, u' ') + text : text;
    }
    if (pattern == u"!@@@@@@") {
        const int missing = 6 - CharacterCount(text);
        return missing > 0 ? text + QString(missing, u' ') : text;
    }
    invalidArgument();
}

int CompareText(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t left = codePointAt(a, i);
        const char32_t right = codePointAt(b, j);
        if (left != right)
            return left < right ? -1 : 1;
    }
    if (i == a.size() && j == b.size())
        return 0;
    return i == a.size() ? -1 : 1;
}

QString UpperCase(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return result;
}

QString MidText(const QString &text, int start, int length)
{
    if (start < 1 || length < 0)
        invalidArgument();
    const qsizetype from = unitIndexOfCharacter(text, start - 1);
    const qsizetype to = from + unitIndexOfCharacter(QStringView(text).sliced(from), length);
    return text.sliced(from, to - from);
}

int CharacterCount(const QString &text)
{
    int count = 0;
    for (qsizetype unit = 0; unit < text.size(); ++count)
        unit += startsPair(text, unit) ? 2 : 1;
    return count;
}

} // namespace runtime
