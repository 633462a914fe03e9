#pragma once

#include "runtime/Text.h"
#include "wagesheet/Module1.h"

#include <array>
#include <optional>

namespace wagesheet {

// The employee typed into the four entry boxes, converted: the employee
// number upper-cased and cut to its first four characters, the three codes
// through TextToInteger (which may raise the overflow error). The pay code is
// read as an Integer and only then widened to the record's Long. Nothing is
// trimmed and the employee number is not checked.
EmpRecord readEntry(const QString &text1, const QString &text2, const QString &text3, const QString &text4);

using runtime::Refusal;

// The entry checks, in order; the first that fails is the answer. A full table
// is tested first, before any field.
std::optional<Refusal> checkEntry(const EmpRecord &entry, Integer empCount);

// One click of "입력" without its window: reads the four box texts, checks
// them, and appends the employee to Module1's table when every check passes.
// A refused or failing entry (the overflow error) leaves the table untouched.
std::optional<Refusal> enterEmployee(const std::array<QString, 4> &boxes);

} // namespace wagesheet
