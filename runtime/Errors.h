#pragma once

#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace runtime {

// The run-time errors a program can raise. They are ordinary C++ exceptions;
// guard() keeps every one of them from reaching Qt's event loop.
class RuntimeError : public std::exception {
public:
    enum class Kind { Overflow, SubscriptOutOfRange, TypeMismatch, InvalidArgument };

    explicit RuntimeError(Kind kind) : m_kind(kind) {}

    Kind kind() const { return m_kind; }
    // The plain Korean sentence the user is shown.
    QString description() const;
    const char *what() const noexcept override;

private:
    Kind m_kind;
};

// Runs one event handler. A run-time error ends the handler and is shown in a
// modal message box titled with the program's name; the program goes on.
// Whatever the handler changed before the error stays as it was.
void guard(QWidget *owner, const std::function<void()> &handler);

} // namespace runtime
