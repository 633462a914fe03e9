#pragma once

namespace runtime {

// Gives every single- and multi-line text box of the program an accessible
// interface of the runtime's own. Qt 6.4's own one never returns from
// textAtOffset() for a word or sentence at the end of a line edit's text
// (QAccessibleTextInterface::textAtOffset loops on QTextBoundaryFinder), so a
// screen reader asking for the word under the caret froze the program; it
// also reports one attribute run per character, which screen readers read as
// a text cut after its first character. This one answers every boundary kind
// at every offset in time proportional to the text's length, and reports the
// whole value as one attribute run. Call once, after the QApplication exists.
void installAccessibleBoxes();

} // namespace runtime
