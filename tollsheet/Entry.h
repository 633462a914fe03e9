#pragma once

#include "runtime/rules/Results.h"
#include "runtime/rules/Text.h"
#include "tollsheet/Module1.h"

#include <array>
#include <optional>

namespace tollsheet {

using runtime::Refusal;

// The entry checks, in order; the first that fails is the answer. A full table
// is tested last, after every field has passed.
std::optional<Refusal> checkEntry(const CustRecord &entry, Integer custCount);

// One click of "입력" without its window: reads the five box texts, checks
// them, and appends the subscriber to Module1's table when every check passes.
// A refused or failing entry (the overflow error) leaves the table untouched.
std::optional<Refusal> enterSubscriber(const std::array<QString, 5> &boxes);

} // namespace tollsheet
