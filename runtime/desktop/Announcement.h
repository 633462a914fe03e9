#pragma once

class QString;
class QWidget;

namespace runtime {

// Has a screen reader speak `text` ("입력되었습니다") for `form`, without
// moving the focus, showing anything, changing the layout or opening a window.
// Built against Qt 6.8 or later, the form sends a QAccessibleAnnouncementEvent
// (a polite one: it waits for what is being spoken). Older Qt has no way to
// announce a text, so there the form gets a child that paints nothing, takes
// no focus and no clicks, and whose accessible role is a notification named
// `text`: showing it is what screen readers speak. Each call shows it anew, so
// the same text is spoken again; five seconds later it is hidden, so that no
// stale notification is left to find. Does nothing while no assistive
// technology is listening.
void announce(QWidget *form, const QString &text);

} // namespace runtime
