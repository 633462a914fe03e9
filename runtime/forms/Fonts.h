#pragma once

#include <QFont>

namespace runtime {

// Each names Windows' Korean fonts first, then the Nanum fonts that the
// Debian packages depend on and the Windows build ships.

// The entry forms' Korean sans font at 11.25 pt.
QFont formFont();
// The report boxes' fixed-pitch Korean font at 9 pt, in which a Hangul
// syllable is exactly two columns wide and every other character one.
QFont reportFont();

} // namespace runtime
