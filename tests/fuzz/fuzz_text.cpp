// The text conversions and patterns of runtime_rules against independent
// references: numbers read with GMP, code points decoded by hand.
//
// Input: the text under test first (so a seed holding only a text is valid),
// then how the second text of a comparison is made, an int64 for the number
// patterns, MidText's start and length, a pattern, a Currency and four
// operands of the checked arithmetic.
#include "FuzzChecks.h"

#include "runtime/rules/Numbers.h"

#include <QList>

#include <gmp.h>

#include <algorithm>
#include <climits>
#include <string>

using namespace runtime;
using namespace fuzz;

namespace {

bool blank(char16_t c) { return c == u' ' || c == u'\t'; }
bool digit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A decimal number as written at some place of a text.
struct Written {
    bool found = false;       // at least one digit
    bool negative = false;
    std::string digits;       // every digit, the whole part then the fraction
    std::size_t fraction = 0; // how many of them follow the point
    std::size_t end = 0;      // the unit just past the number
};

Written readWritten(const std::u16string &text, std::size_t i)
{
    Written w;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        w.negative = text[i++] == u'-';
    for (; i < text.size() && digit(text[i]); ++i)
        w.digits += char(text[i]);
    if (i < text.size() && text[i] == u'.') {
        for (++i; i < text.size() && digit(text[i]); ++i, ++w.fraction)
            w.digits += char(text[i]);
    }
    w.found = !w.digits.empty();
    w.end = i;
    return w;
}

class Mpz {
public:
    Mpz() { mpz_init(v); }
    ~Mpz() { mpz_clear(v); }
    Mpz(const Mpz &) = delete;
    Mpz &operator=(const Mpz &) = delete;
    mpz_t v;
};

// sign * magnitude / 10^fraction rounded to a whole number, halves to even.
void roundHalfEven(Mpz &out, const Mpz &magnitude, unsigned long fraction, bool negative)
{
    Mpz denominator, rest;
    mpz_ui_pow_ui(denominator.v, 10, fraction);
    mpz_fdiv_qr(out.v, rest.v, magnitude.v, denominator.v);
    mpz_mul_2exp(rest.v, rest.v, 1);
    const int half = mpz_cmp(rest.v, denominator.v);
    if (half > 0 || (half == 0 && mpz_odd_p(out.v)))
        mpz_add_ui(out.v, out.v, 1);
    if (negative)
        mpz_neg(out.v, out.v);
}

// The Integer a written number makes, or nothing when it is out of range.
std::optional<long> integerOf(const Written &w)
{
    if (!w.found)
        return 0L;
    Mpz magnitude, rounded;
    FUZZ_CHECK(mpz_set_str(magnitude.v, w.digits.c_str(), 10) == 0);
    roundHalfEven(rounded, magnitude, w.fraction, w.negative);
    if (mpz_cmp_si(rounded.v, -32768) < 0 || mpz_cmp_si(rounded.v, 32767) > 0)
        return std::nullopt;
    return mpz_get_si(rounded.v);
}

void checkTextToInteger(const QString &text)
{
    const std::u16string units = text.toStdU16String();
    std::size_t i = 0;
    while (i < units.size() && blank(units[i]))
        ++i;
    const std::optional<long> expected = integerOf(readWritten(units, i));

    Integer got = 0;
    const std::optional<Kind> error = raised([&] { got = TextToInteger(text); });
    FUZZ_CHECK(expected ? !error && got == *expected : error == Kind::Overflow);
}

void checkValueToInteger(const QString &text)
{
    const std::u16string units = text.toStdU16String();
    std::size_t begin = 0;
    std::size_t end = units.size();
    while (begin < end && blank(units[begin]))
        ++begin;
    while (end > begin && blank(units[end - 1]))
        --end;
    const Written w = readWritten(units.substr(begin, end - begin), 0);
    const bool wholeNumber = w.found && w.end == end - begin;

    Integer got = 0;
    const std::optional<Kind> error = raised([&] { got = ValueToInteger(text); });
    const std::optional<long> expected = wholeNumber ? integerOf(w) : std::nullopt;
    if (!expected)
        FUZZ_CHECK(error == (wholeNumber ? Kind::Overflow : Kind::TypeMismatch));
    else
        FUZZ_CHECK(!error && got == *expected && got == TextToInteger(text));
}

// `shown` is `value` written with "###,##0" (or "###,###" when zeroEmpty).
void checkGrouped(const QString &shown, __int128 value, bool zeroEmpty)
{
    if (zeroEmpty && value == 0) {
        FUZZ_CHECK(shown.isEmpty());
        return;
    }
    QStringView rest(shown);
    const bool minus = rest.startsWith(u'-');
    FUZZ_CHECK(minus == (value < 0));
    if (minus)
        rest = rest.sliced(1);

    const QList<QStringView> groups = rest.split(u',');
    __int128 magnitude = 0;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const QStringView group = groups[g];
        if (g == 0) {
            FUZZ_CHECK(group.size() >= 1 && group.size() <= 3);
            FUZZ_CHECK(group.front() != u'0' || rest == u"0"); // no leading zero
        } else {
            FUZZ_CHECK(group.size() == 3);
        }
        for (QChar c : group) {
            FUZZ_CHECK(digit(c.unicode()));
            magnitude = magnitude * 10 + (c.unicode() - u'0');
        }
    }
    FUZZ_CHECK((minus ? -magnitude : magnitude) == value);
}

const QString NumberPatterns[] = {QStringLiteral("###,##0"), QStringLiteral("###,###")};
const QString TextPatterns[] = {QStringLiteral("@@@@@@@"), QStringLiteral("!@@@@@@")};

// `value` written with both number patterns shows `expected`.
template <class V>
void checkNumberPatterns(V value, __int128 expected)
{
    for (const bool zeroEmpty : {false, true})
        checkGrouped(FormatValue(value, NumberPatterns[zeroEmpty]), expected, zeroEmpty);
}

void checkCurrency(std::int64_t scaled)
{
    const Currency amount = Currency::fromScaled(scaled);
    FUZZ_CHECK(amount.scaled() == scaled);

    Mpz magnitude, rounded;
    mpz_set_si(magnitude.v, scaled);
    mpz_abs(magnitude.v, magnitude.v);
    roundHalfEven(rounded, magnitude, 4, scaled < 0);
    FUZZ_CHECK(mpz_fits_slong_p(rounded.v));
    const long expected = mpz_get_si(rounded.v);
    FUZZ_CHECK(amount.rounded() == expected);
    checkNumberPatterns(amount, expected);
    const bool fits = expected >= INT32_MIN && expected <= INT32_MAX;
    FUZZ_CHECK(raised([&] { (void)amount.toLong(); }) == (fits ? std::nullopt : std::optional(Kind::Overflow)));
}

void checkTextPatterns(const QString &text)
{
    // "@@@@@@@" pads on the left to seven characters, "!@@@@@@" on the right to six.
    for (const bool right : {true, false}) {
        const int width = right ? 7 : 6;
        const QString shown = FormatValue(text, TextPatterns[right ? 0 : 1]);
        if (codePoints(text) >= width) {
            FUZZ_CHECK(shown == text);
            continue;
        }
        FUZZ_CHECK(codePoints(shown) == width && (right ? shown.endsWith(text) : shown.startsWith(text)));
        const QString pad = right ? shown.first(shown.size() - text.size()) : shown.sliced(text.size());
        FUZZ_CHECK(pad == QString(pad.size(), u' '));
    }
}

// A number pattern formats numbers, a text pattern texts; any other pattern
// raises the invalid-argument error for all three.
void checkPattern(const QString &pattern, std::int64_t value, const QString &text)
{
    const bool numeric = std::ranges::count(NumberPatterns, pattern) > 0;
    const bool textual = std::ranges::count(TextPatterns, pattern) > 0;
    const std::optional<Kind> expected = numeric || textual ? std::nullopt : std::optional(Kind::InvalidArgument);
    if (!textual) {
        FUZZ_CHECK(raised([&] { (void)FormatValue(value, pattern); }) == expected);
        FUZZ_CHECK(raised([&] { (void)FormatValue(Currency::fromScaled(value), pattern); }) == expected);
    }
    if (!numeric)
        FUZZ_CHECK(raised([&] { (void)FormatValue(text, pattern); }) == expected);
}

// A pattern: one of the four, one of them changed a little, or any text.
QString readPattern(FuzzInput &in)
{
    const std::uint8_t mode = in.u8();
    const std::uint8_t which = in.u8();
    QString pattern = which % 2 ? TextPatterns[(which / 2) % 2] : NumberPatterns[(which / 2) % 2];
    switch (mode % 6) {
    case 0:
        return pattern;
    case 1: { // one unit changed
        const qsizetype at = in.u8() % pattern.size();
        const QString unit = in.text(1);
        pattern[at] = unit.isEmpty() ? QChar(u'#') : unit.front();
        return pattern;
    }
    case 2: // one unit removed
        return pattern.remove(in.u8() % pattern.size(), 1);
    case 3: // a text added before or after
        return in.flag() ? in.text(3) + pattern : pattern + in.text(3);
    case 4: // the same in fullwidth, or its case changed where it has letters
        return in.flag() ? pattern.toUpper().replace(u'#', u'\uFF03') : pattern.replace(u'@', u'a');
    default:
        return in.text(12);
    }
}

void checkCompare(const QString &a, const QString &b)
{
    const int ab = CompareText(a, b);
    const int ba = CompareText(b, a);
    FUZZ_CHECK(ab == -1 || ab == 0 || ab == 1);
    FUZZ_CHECK(ab == -ba && (ab == 0) == (a == b));
    const std::vector<char32_t> pa = decode(a), pb = decode(b);
    FUZZ_CHECK(ab == (pa < pb ? -1 : pb < pa ? 1 : 0));
}

void checkPrefixes(const QString &text)
{
    FUZZ_CHECK(CompareText(text, text) == 0 && CompareText(text, QString(text)) == 0);
    for (qsizetype n = 0; n < text.size(); n += 1 + n / 8)
        FUZZ_CHECK(CompareText(text.first(n), text) == -1 && CompareText(text, text.first(n)) == 1);
}

// The second text of a comparison: often close to the first.
QString readOther(FuzzInput &in, const QString &text)
{
    const std::uint8_t mode = in.u8();
    QString other = text;
    switch (mode % 6) {
    case 0:
        return in.text();
    case 1:
        return other;
    case 2: // one unit replaced
        if (!other.isEmpty()) {
            const QString unit = in.text(1);
            other[in.u16() % other.size()] = unit.isEmpty() ? QChar(u'\uE000') : unit.front();
        }
        return other;
    case 3: // a text inserted
        return other.insert(other.isEmpty() ? 0 : in.u16() % (other.size() + 1), in.text(4));
    case 4: // cut
        return other.first(other.isEmpty() ? 0 : in.u16() % other.size());
    default: // a high surrogate split from its low one, or units swapped
        if (other.size() >= 2) {
            const qsizetype at = in.u16() % (other.size() - 1);
            std::swap(other[at], other[at + 1]);
        }
        return other;
    }
}

void checkUpperCase(const QString &text)
{
    const QString upper = UpperCase(text);
    FUZZ_CHECK(upper.size() == text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        FUZZ_CHECK(upper[i].unicode() == (c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c));
    }
}

// A cut at unit `at` of `text` falls between two characters.
bool onBoundary(const QString &text, qsizetype at)
{
    return at <= 0 || at >= text.size() || !(text[at - 1].isHighSurrogate() && text[at].isLowSurrogate());
}

void checkMidText(const QString &text, int start, int length)
{
    FUZZ_CHECK(CharacterCount(text) == codePoints(text));
    if (start < 1 || length < 0) {
        FUZZ_CHECK(raised([&] { (void)MidText(text, start, length); }) == Kind::InvalidArgument);
        return;
    }
    const long long restStart = std::min<long long>((long long)start + length, INT_MAX);
    const QString before = MidText(text, 1, start - 1);
    const QString part = MidText(text, start, length);
    const QString after = MidText(text, int(restStart), INT_MAX);
    FUZZ_CHECK(before + part + after == text);
    FUZZ_CHECK(onBoundary(text, before.size()) && onBoundary(text, before.size() + part.size()));
    const int characters = codePoints(text);
    FUZZ_CHECK(codePoints(before) == std::min(start - 1, characters));
    FUZZ_CHECK(CharacterCount(part) <= length);
    FUZZ_CHECK(codePoints(part) == std::min<long long>(length, std::max(0, characters - (start - 1))));
}

// MidText's start and length: mostly inside or just past the text, sometimes anything.
int readPosition(FuzzInput &in, int characters)
{
    const std::uint8_t mode = in.u8();
    if (mode < 0xC0)
        return in.u8() % (characters + 3);
    if (mode < 0xE0)
        return INT_MAX - in.u8() % 4;
    return in.i32();
}

template <class T>
void checkArithmetic(T a, T b)
{
    const auto expect = [](std::int64_t exact, auto f) {
        T got = 0;
        const std::optional<Kind> error = raised([&] { got = f(); });
        const bool fits = exact >= std::numeric_limits<T>::min() && exact <= std::numeric_limits<T>::max();
        FUZZ_CHECK(fits ? !error && got == exact : error == Kind::Overflow);
    };
    expect(std::int64_t(a) + std::int64_t(b), [&] { return add<T>(a, b); });
    expect(std::int64_t(a) - std::int64_t(b), [&] { return sub<T>(a, b); });
    expect(std::int64_t(a) * std::int64_t(b), [&] { return mul<T>(a, b); });
}

// An int64: anything, small, next to a power of ten, or next to either end.
std::int64_t readWide(FuzzInput &in)
{
    const std::uint8_t mode = in.u8();
    const std::int64_t raw = in.i64();
    switch (mode % 4) {
    case 0:
        return raw;
    case 1:
        return std::int16_t(raw);
    case 2: {
        std::int64_t power = 1;
        for (int k = (raw >> 8 & 0xFF) % 19; k > 0; --k)
            power *= 10;
        const std::int64_t near = power + std::int8_t(raw);
        return raw < 0 ? -near : near;
    }
    default:
        return raw < 0 ? INT64_MIN + (raw & 0xFF) : INT64_MAX - (raw & 0xFF);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in(data, size);
    const QString text = in.text();
    try {
        checkTextToInteger(text);
        checkValueToInteger(text);
        checkTextPatterns(text);
        checkUpperCase(text);
        checkPrefixes(text);
        checkCompare(text, readOther(in, text));

        const std::int64_t value = readWide(in);
        checkNumberPatterns(value, value);
        FUZZ_CHECK(IntegerToText(Integer(value)) == decimal(Integer(value)));
        FUZZ_CHECK(LongToText(Long(value)) == decimal(Long(value)));

        const int characters = codePoints(text);
        const int start = readPosition(in, characters);
        const int length = readPosition(in, characters);
        checkMidText(text, start, length);
        checkMidText(text, 1 + int(unsigned(start) % unsigned(characters + 2)), length & 0x3F);

        checkPattern(readPattern(in), value, text);
        checkCurrency(readWide(in));
        checkArithmetic<Integer>(in.i16(), in.i16());
        checkArithmetic<Long>(in.i32(), in.i32());
    } catch (const RuntimeError &e) {
        fail(__FILE__, __LINE__, e.what());
    }
    return 0;
}
