#include "runtime/Errors.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <new>

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

static void showError(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, owner);
    box.exec();
}

void guard(QWidget *owner, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        showError(owner, error.description());
    } catch (const std::bad_alloc &) {
        showError(owner, QStringLiteral("메모리가 부족합니다."));
    }
}

} // namespace runtime
