#pragma once

// Each program's worked example, read from tests/worked-examples.json (named
// by the compile definition WORKED_EXAMPLES): its records as typed into the
// entry boxes, and the report they give, both boxes line by line. The tests,
// the click benchmark and the screenshot tool all take it from there. Beside
// it, what the report tests share: the columns a character takes.

#include "FirstDifference.h"
#include "tollsheet/Module1.h"
#include "wagesheet/Module1.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

namespace worked {

// A report box: the heading lines (all an empty table shows), then a line per
// record. In the box each line ends in CRLF.
struct Box {
    QStringList heading, lines;
    static QString join(const QStringList &lines) { return lines.isEmpty() ? QString() : lines.join("\r\n") + "\r\n"; }
    QString headingText() const { return join(heading); }
    QString text() const { return join(heading + lines); }
};

struct Example {
    QList<QStringList> records; // each as typed, box by box
    Box Text1, Text2;
};

inline QStringList strings(const QJsonValue &array)
{
    QStringList strings;
    for (const QJsonValue &value : array.toArray())
        strings << value.toVariant().toString();
    return strings;
}

inline Example load(const char *program)
{
    QFile file(QStringLiteral(WORKED_EXAMPLES));
    const QJsonValue json = QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "")[program];
    if (!json.isObject())
        qFatal("%s holds no worked example of %s", WORKED_EXAMPLES, program);
    Example example{{}, {strings(json["Text1"]["heading"]), strings(json["Text1"]["lines"])},
                    {strings(json["Text2"]["heading"]), strings(json["Text2"]["lines"])}};
    for (const QJsonValue &record : json["records"].toArray())
        example.records << strings(record);
    return example;
}

inline const Example Tollsheet = load("tollsheet");
inline const Example Wagesheet = load("wagesheet");

// Puts `records` into a table's first slots, emptying the others; returns how
// many there are.
template <class Table, class Record> runtime::Integer fill(Table &table, const QList<Record> &records)
{
    table = {};
    runtime::Integer count = 0;
    for (const Record &record : records)
        table(++count) = record;
    return count;
}

inline QList<tollsheet::CustRecord> subscribers()
{
    QList<tollsheet::CustRecord> records;
    for (const QStringList &r : Tollsheet.records)
        records.append({runtime::Integer(r[0].toInt()), r[1], r[2], r[3], runtime::Integer(r[4].toInt())});
    return records;
}

inline QList<wagesheet::EmpRecord> employees()
{
    QList<wagesheet::EmpRecord> records;
    for (const QStringList &r : Wagesheet.records)
        records.append({r[0], r[1].toInt(), runtime::Integer(r[2].toInt()), runtime::Integer(r[3].toInt())});
    return records;
}

// The report's table as "표로 복사" puts it on the clipboard, as tab-separated
// text and as HTML, read from the example's lower box: its last heading
// line's column names, then the cells `cells` captures in each line (a group
// a column), amounts without group separators.
struct Copied {
    QString text, html;
};
inline Copied copied(const Box &box, const QRegularExpression &cells)
{
    Copied copied{{}, QStringLiteral("<html><head><meta charset=\"utf-8\"><style>td, th { white-space: pre }</style></head><body>\n<table>\n")};
    QStringList row = box.heading.last().split(u' ', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i <= box.lines.size(); ++i) {
        const QString tag = i ? QStringLiteral("td") : QStringLiteral("th");
        copied.text += row.join(u'\t') + u'\n';
        copied.html += "<tr><" + tag + '>' + row.join("</" + tag + "><" + tag + '>') + "</" + tag + "></tr>\n";
        if (i < box.lines.size())
            row = cells.match(box.lines[i]).capturedTexts().mid(1).replaceInStrings(QRegularExpression(QStringLiteral("(?<=\\d),(?=\\d{3})")), QString());
    }
    copied.html += QStringLiteral("</table>\n</body></html>\n");
    return copied;
}

// The columns a character takes in the report font: `hangul` for a Hangul
// syllable (two in NanumGothicCoding), one for any other character.
inline int columnsOf(QChar c, int hangul = 2) { return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3 ? hangul : 1; }

} // namespace worked
