// Where two texts part: the first line that differs, both versions, readable.
#pragma once

#include <QString>
#include <QStringList>

namespace testing {

// Empty when the texts are equal; otherwise the first differing line's number
// (from 1) with the expected and the actual line, their line ends shown as
// \r and \n.
inline QString firstDifference(const QString &actual, const QString &expected)
{
    if (actual == expected)
        return QString();
    const auto split = [](QString text) {
        text.replace(u'\r', QStringLiteral("\\r"));
        return text.split(u'\n');
    };
    const QStringList got = split(actual), wanted = split(expected);
    qsizetype line = 0;
    while (line < got.size() && line < wanted.size() && got[line] == wanted[line])
        ++line;
    const auto shown = [](const QStringList &lines, qsizetype i) {
        return i < lines.size() ? QStringLiteral("\"%1\"").arg(lines[i]) : QStringLiteral("(no such line)");
    };
    return QStringLiteral("line %1 differs\n  expected: %2\n  actual:   %3")
        .arg(line + 1)
        .arg(shown(wanted, line), shown(got, line));
}

} // namespace testing
