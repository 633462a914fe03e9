#pragma once

#include <QString>
#include <exception>

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

} // namespace runtime
