// Where two texts part: the first line that differs, both versions, readable.
#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>

namespace testing {

// Empty when the texts are equal; else the first line in which they differ,
// expected and actual, each with its line break (LF or CRLF), as readable text.
inline QString firstDifference(const QString &actual, const QString &expected)
{
    if (actual == expected)
        return {};
    const QRegularExpression afterBreak(QStringLiteral("(?<=\n)"));
    const QStringList got = actual.split(afterBreak, Qt::SkipEmptyParts), wanted = expected.split(afterBreak, Qt::SkipEmptyParts);
    qsizetype at = 0, from = 0;
    while (at < got.size() && at < wanted.size() && got[at] == wanted[at])
        ++at;
    while (from < got.value(at).size() && from < wanted.value(at).size() && got[at][from] == wanted[at][from])
        ++from;
    auto line = [at](const QStringList &lines) {
        return at < lines.size() ? u'"' + QString(lines[at]).replace(u'\r', "\\r").replace(u'\n', "\\n").replace(u'\t', "\\t") + u'"' : QStringLiteral("(none)");
    };
    return QStringLiteral("first difference in line %1, character %2 (%3 lines expected, %4 given):\n   expected: %5\n   actual:   %6")
        .arg(at + 1).arg(from + 1).arg(wanted.size()).arg(got.size()).arg(line(wanted), line(got));
}

// The same for two lists of texts (a form's boxes, say): the first item that differs.
inline QString firstDifference(const QStringList &actual, const QStringList &expected)
{
    const qsizetype at = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first - actual.begin();
    return actual == expected ? QString()
                              : QStringLiteral("item %1 (%2 expected, %3 given): ").arg(at + 1).arg(expected.size()).arg(actual.size())
                                    + firstDifference(actual.value(at), expected.value(at));
}

} // namespace testing

// Compares two texts, or two lists of texts, exactly; a failure shows where they part.
#define COMPARE_TEXT(actual, expected)                                                                                  \
    QVERIFY2(testing::firstDifference(actual, expected).isEmpty(), qUtf8Printable(testing::firstDifference(actual, expected)))
