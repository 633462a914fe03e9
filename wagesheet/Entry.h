#pragma once

#include "wagesheet/Module1.h"

#include <optional>

namespace wagesheet {

// The employee typed into the four entry boxes, converted: the employee
// number upper-cased and cut to its first four characters, the three codes
// through TextToInteger (which may raise the overflow error). The pay code is
// read as an Integer and only then widened to the record's Long. Nothing is
// trimmed and the employee number is not checked.
EmpRecord readEntry(const QString &text1, const QString &text2, const QString &text3, const QString &text4);

// Why an entry is refused, and which box (2 to 4) takes the focus; 0 leaves
// the focus where it is.
struct Refusal {
    QString message;
    int box = 0;
};

// The entry checks, in order; the first that fails is the answer. A full table
// is tested first, before any field.
std::optional<Refusal> checkEntry(const EmpRecord &entry, Integer empCount);

} // namespace wagesheet
