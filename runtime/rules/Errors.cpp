#include "runtime/rules/Errors.h"

namespace runtime {

namespace {

struct Description {
    const char *what;
    const char16_t *text;
};

// Indexed by RuntimeError::Kind.
constexpr Description Descriptions[] = {
    {"overflow", u"오버플로: 숫자가 허용된 범위를 벗어났습니다."},
    {"subscript out of range", u"첨자가 범위를 벗어났습니다."},
    {"type mismatch", u"형식이 일치하지 않습니다: 숫자가 아닌 값입니다."},
    {"invalid procedure call or argument", u"프로시저 호출 또는 인수가 잘못되었습니다."},
};

} // namespace

QString RuntimeError::description() const
{
    return QString::fromUtf16(Descriptions[int(m_kind)].text);
}

const char *RuntimeError::what() const noexcept
{
    return Descriptions[int(m_kind)].what;
}

} // namespace runtime
