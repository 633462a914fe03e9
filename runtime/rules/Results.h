// What a program's rules hand to its forms: the texts of a report and its
// table, and why an entry is refused.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace runtime {

// A report's figures as a table: the report's own column names, and a row of
// cells per record, amounts as plain integers ("89750").
struct ReportTable {
    QStringList header;
    QList<QStringList> rows;
};

// The texts of a report's two boxes while the report is written, and its
// table: a row for each line of figures written so far.
struct ReportBoxes {
    QString Text1;
    QString Text2;
    ReportTable table = {};
};

// Why an entry is refused, and which box (1 to the number of boxes) takes the
// focus; 0 leaves the focus where it is.
struct Refusal {
    QString message;
    int box = 0;
};

} // namespace runtime
