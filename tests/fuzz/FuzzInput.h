// Reads typed values out of the bytes libFuzzer hands a harness.
//
// Every read consumes bytes from the front; once the bytes run out, numbers
// read as 0 and texts end, so any byte string is a valid input and a short
// seed simply leaves the later values at 0 or empty.
//
// A text is one length byte followed by units, each chosen by one byte:
//
//   length byte b:  b < 0x80  -> b & 0x1F units (0..31)
//                   b < 0xF0  -> b - 0x80 units (0..111)
//                   otherwise -> ((b & 0x0F) << 8 | next byte) units, at most `maxUnits`
//   unit byte c:    c < 0xC0  -> Alphabet[c % 64]  (digits, . + - blank tab, letters)
//                   0xC0-0xC7 -> printable ASCII 0x20 + (next byte % 95)
//                   0xC8-0xCF -> Hangul syllable U+AC00 + (next u16 % 11172)
//                   0xD0-0xD3 -> surrogate pair for U+10000 + (next u32 % 0x100000)
//                   0xD4-0xD5 -> lone high surrogate U+D800 + (next u16 % 0x400)
//                   0xD6-0xD7 -> lone low surrogate U+DC00 + (next u16 % 0x400)
//                   0xD8-0xDB -> CR
//                   0xDC-0xDF -> LF
//                   0xE0-0xE3 -> CR LF
//                   0xE4-0xEB -> a tricky unit: Tricky[next byte % size]
//                   0xEC-0xEF -> any UTF-16 unit: next u16
//                   0xF0-0xF3 -> a run of (next byte + 1) copies of digit (next byte % 10)
//                   0xF4-0xF7 -> a run of (next byte + 1) digits from a u32 seed
//                   0xF8-0xFF -> Alphabet[c % 64]
//
// Multi-byte values are little-endian. Every text is at most `maxUnits` units
// long; a run or pair that would pass the limit is cut.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Sixty-four characters; digits and the characters of a number come twice.
inline constexpr char Alphabet[] = "01234567890123456789..++--  \t\tabcdefghijklmnopqrstuvwxyzAFSICYNZ";
static_assert(sizeof(Alphabet) - 1 == 64);

// Units that look like ASCII digits, blanks or signs to a careless reader, and
// units around the surrogate block that tell code-unit from code-point order.
inline constexpr char16_t Tricky[] = {
    u'\uFF10', u'\uFF15', u'\uFF19', // fullwidth digits
    u'\u0660', u'\u0665', u'\u0969', // Arabic-Indic and Devanagari digits
    u'\u00B2', u'\u00BD',            // superscript two, one half
    u'\u3000', u'\u00A0', u'\u2003', // ideographic, no-break and em blanks
    u'\u000B', u'\u000C', u'\u0000', // vertical tab, form feed, NUL
    u'\u2212', u'\uFF0B', u'\uFF0D', // minus sign, fullwidth plus and minus
    u'\uFF0E', u'\u3002', u'\u066B', // fullwidth full stop, ideographic full stop, Arabic decimal separator
    u'\uFF21', u'\uFF41', u'\u0131', // fullwidth A and a, dotless i
    u'\u00E9', u'\u00C9', u'\u017F', // e acute, E acute, long s
    u'@', u'[', u'`', u'{',          // the neighbours of A-Z and a-z
    u'\uD7A3', u'\uD7FF', u'\uE000', u'\uFFFD', u'\uFFFF', // around the surrogate block
};

class FuzzInput {
public:
    FuzzInput(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }

    std::uint8_t u8() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::uint16_t u16() { return std::uint16_t(u8() | (std::uint16_t(u8()) << 8)); }
    std::uint32_t u32() { return std::uint32_t(u16()) | (std::uint32_t(u16()) << 16); }
    std::uint64_t u64() { return std::uint64_t(u32()) | (std::uint64_t(u32()) << 32); }
    std::int16_t i16() { return std::int16_t(u16()); }
    std::int32_t i32() { return std::int32_t(u32()); }
    std::int64_t i64() { return std::int64_t(u64()); }
    bool flag() { return (u8() & 1) != 0; }

    // A count in 0..max (max below 256).
    int count(int max) { return u8() % (max + 1); }

    QString text(int maxUnits = 400)
    {
        QString text;
        if (empty())
            return text;
        const std::uint8_t b = u8();
        int length = 0;
        if (b < 0x80)
            length = b & 0x1F;
        else if (b < 0xF0)
            length = b - 0x80;
        else
            length = ((b & 0x0F) << 8) | u8();
        if (length > maxUnits)
            length = maxUnits;

        while (text.size() < length && !empty())
            appendUnit(text, length);
        return text;
    }

private:
    void appendUnit(QString &text, int length)
    {
        const std::uint8_t c = u8();
        if (c < 0xC0 || c >= 0xF8) {
            text += QChar(char16_t(Alphabet[c % 64]));
        } else if (c < 0xC8) {
            text += QChar(char16_t(0x20 + u8() % 95));
        } else if (c < 0xD0) {
            text += QChar(char16_t(0xAC00 + u16() % 11172));
        } else if (c < 0xD4) {
            const char32_t point = 0x10000 + u32() % 0x100000;
            if (text.size() + 2 <= length) {
                text += QChar(QChar::highSurrogate(point));
                text += QChar(QChar::lowSurrogate(point));
            }
        } else if (c < 0xD6) {
            text += QChar(char16_t(0xD800 + u16() % 0x400));
        } else if (c < 0xD8) {
            text += QChar(char16_t(0xDC00 + u16() % 0x400));
        } else if (c < 0xDC) {
            text += u'\r';
        } else if (c < 0xE0) {
            text += u'\n';
        } else if (c < 0xE4) {
            text += u'\r';
            if (text.size() < length)
                text += u'\n';
        } else if (c < 0xEC) {
            text += QChar(Tricky[u8() % (sizeof(Tricky) / sizeof(Tricky[0]))]);
        } else if (c < 0xF0) {
            text += QChar(char16_t(u16()));
        } else if (c < 0xF4) {
            const int run = u8() + 1;
            const char16_t digit = char16_t(u'0' + u8() % 10);
            for (int i = 0; i < run && text.size() < length; ++i)
                text += QChar(digit);
        } else {
            const int run = u8() + 1;
            std::uint32_t state = u32();
            for (int i = 0; i < run && text.size() < length; ++i) {
                state = state * 1664525u + 1013904223u;
                text += QChar(char16_t(u'0' + (state >> 16) % 10));
            }
        }
    }

    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace fuzz
