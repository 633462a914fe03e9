#include "runtime/rules/Numbers.h"

#include <cmath>

namespace runtime {

Currency Currency::operator+(Currency other) const
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(m_scaled, other.m_scaled, &sum))
        throw RuntimeError(RuntimeError::Kind::Overflow);
    return Currency(sum);
}

Currency Currency::operator*(Long factor) const
{
    std::int64_t product = 0;
    if (__builtin_mul_overflow(m_scaled, std::int64_t(factor), &product))
        throw RuntimeError(RuntimeError::Kind::Overflow);
    return Currency(product);
}

std::int64_t Currency::rounded() const
{
    std::int64_t whole = m_scaled / Scale;    // truncated toward zero
    std::int64_t rest = m_scaled % Scale;     // same sign as m_scaled
    const std::int64_t half = Scale / 2;
    const std::int64_t magnitude = rest < 0 ? -rest : rest;
    const int direction = m_scaled < 0 ? -1 : 1;
    if (magnitude > half || (magnitude == half && whole % 2 != 0))
        whole += direction;
    return whole;
}

Long roundToLong(double value)
{
    if (!std::isfinite(value))
        throw RuntimeError(RuntimeError::Kind::Overflow);
    // nearbyint rounds in the current mode, which is to nearest, ties to even.
    const double whole = std::nearbyint(value);
    if (whole < double(std::numeric_limits<Long>::min()) || whole > double(std::numeric_limits<Long>::max()))
        throw RuntimeError(RuntimeError::Kind::Overflow);
    return static_cast<Long>(whole);
}

} // namespace runtime
