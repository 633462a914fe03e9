#pragma once

#include "runtime/rules/Errors.h"

#include <array>
#include <cstdint>
#include <limits>

namespace runtime {

using Integer = std::int16_t; // 16-bit signed
using Long = std::int32_t;    // 32-bit signed

// Narrows a wide value to T, raising the overflow error when it does not fit.
template <class T>
T checked(std::int64_t value)
{
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
        throw RuntimeError(RuntimeError::Kind::Overflow);
    return static_cast<T>(value);
}

// Integer and Long arithmetic with the overflow check. Both operands are at most
// 32 bits wide, so the 64-bit intermediate is always exact.
template <class T> T add(T a, T b) { return checked<T>(std::int64_t(a) + b); }
template <class T> T sub(T a, T b) { return checked<T>(std::int64_t(a) - b); }
template <class T> T mul(T a, T b) { return checked<T>(std::int64_t(a) * b); }

// A fixed-point number with four decimal places, held as a count of
// ten-thousandths in a signed 64-bit integer.
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    Currency() = default;
    static Currency fromLong(Long value) { return Currency(std::int64_t(value) * Scale); }
    static Currency fromScaled(std::int64_t scaled) { return Currency(scaled); }

    std::int64_t scaled() const { return m_scaled; }
    Currency operator+(Currency other) const;
    Currency operator*(Long factor) const;
    // Rounded to a whole number, a half going to the even neighbour.
    std::int64_t rounded() const;
    // The rounded value as a Long; the overflow error outside the Long range.
    Long toLong() const { return checked<Long>(rounded()); }

    bool operator==(const Currency &) const = default;

private:
    explicit Currency(std::int64_t scaled) : m_scaled(scaled) {}
    std::int64_t m_scaled = 0;
};

// A double made a Long: rounded to nearest, a half to the even neighbour. A value
// that is not finite or lies outside the Long range raises the overflow error.
Long roundToLong(double value);

// A table of N slots numbered 1 to N; every access checks the index.
template <class T, int N>
class Table {
public:
    static constexpr int Size = N;

    T &operator()(int index)
    {
        check(index);
        return m_slots[index - 1];
    }
    const T &operator()(int index) const
    {
        check(index);
        return m_slots[index - 1];
    }
    bool operator==(const Table &) const = default;

    // Stores `record` in slot count + 1 and only then counts it, so a full
    // table (the subscript error) or an overflowing count changes nothing.
    template <class Count>
    void append(Count &count, const T &record)
    {
        const Count next = add<Count>(count, 1);
        (*this)(next) = record;
        count = next;
    }

private:
    static void check(int index)
    {
        if (index < 1 || index > N)
            throw RuntimeError(RuntimeError::Kind::SubscriptOutOfRange);
    }
    std::array<T, N> m_slots{};
};

} // namespace runtime
