#include "runtime/Errors.h"


namespace runtime {

QString RuntimeError::description() const
{
    switch (m_kind) {
    case Kind::Overflow:
        return QStringLiteral("오버플로: 숫자가 허용된 범위를 벗어났습니다.");
    case Kind::SubscriptOutOfRange:
        return QStringLiteral("첨자가 범위를 벗어났습니다.");
    case Kind::TypeMismatch:
        return QStringLiteral("형식이 일치하지 않습니다: 숫자가 아닌 값입니다.");
    case Kind::InvalidArgument:
        return QStringLiteral("프로시저 호출 또는 인수가 잘못되었습니다.");
    }
    return {};
}

const char *RuntimeError::what() const noexcept
{
    switch (m_kind) {
    case Kind::Overflow: return "overflow";
    case Kind::SubscriptOutOfRange: return "subscript out of range";
    case Kind::TypeMismatch: return "type mismatch";
    case Kind::InvalidArgument: return "invalid procedure call or argument";
    }
    return "run-time error";
}

} // namespace runtime
