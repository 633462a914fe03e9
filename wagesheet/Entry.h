#pragma once

#include "runtime/rules/Results.h"
#include "runtime/rules/Text.h"
#include "wagesheet/Module1.h"

#include <array>
#include <optional>

namespace wagesheet {

using runtime::Refusal;

// The entry checks, in order; the first that fails is the answer. A full table
// is tested first, before any field.
std::optional<Refusal> checkEntry(const EmpRecord &entry, Integer empCount);

// One click of "입력" without its window: reads the four box texts, checks
// them, and appends the employee to Module1's table when every check passes.
// A refused or failing entry (the overflow error) leaves the table untouched.
std::optional<Refusal> enterEmployee(const std::array<QString, 4> &boxes);

} // namespace wagesheet
