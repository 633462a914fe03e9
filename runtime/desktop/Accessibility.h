#pragma once

class QString;
class QWidget;

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

// Has a screen reader speak `text` ("입력되었습니다") for `form`, without
// moving the focus, showing anything, changing the layout or opening a window.
// Qt 6.4 has no way to announce a text (QAccessibleAnnouncementEvent comes
// with Qt 6.8, and should replace this then), so the form gets a child that
// paints nothing, takes no focus and no clicks, and whose accessible role is a
// notification named `text`: showing it is what screen readers speak. Each
// call shows it anew, so the same text is spoken again; five seconds later it
// is hidden, so that no stale notification is left to find. Does nothing
// while no assistive technology is listening.
void announce(QWidget *form, const QString &text);

} // namespace runtime
