// What a program's rules hand to its forms: the texts of a report, and why
// an entry is refused.
#pragma once

#include <QString>

namespace runtime {

// The texts of a report's two boxes while the report is written.
struct ReportBoxes {
    QString Text1;
    QString Text2;
};

// Why an entry is refused, and which box (1 to the number of boxes) takes the
// focus; 0 leaves the focus where it is.
struct Refusal {
    QString message;
    int box = 0;
};

} // namespace runtime
