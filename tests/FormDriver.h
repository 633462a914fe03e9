#pragma once

// Drives a program's forms the way a user does: types into boxes, clicks
// buttons, and answers the modal boxes that a click opens.

#include "FirstDifference.h"
#include "runtime/forms/Boxes.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <source_location>

namespace driver {

// What the message boxes an action opened showed before they were answered:
// how many there were, and the title, text, icon and buttons of the last one.
struct Shown {
    bool seen = false;
    int count = 0;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

inline QWidget *visibleTopLevel(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->objectName() == name)
            return widget;
    }
    return nullptr;
}

// Puts a text on the clipboard. A null text leaves data with no format at
// all: what X11 hands over when no program owns the clipboard.
inline void copy(const QString &text)
{
    auto *data = new QMimeData;
    if (!text.isNull())
        data->setText(text);
    QApplication::clipboard()->setMimeData(data);
}

inline QMessageBox *openMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

// Adds what `box` shows to `shown`, then answers it with OK.
inline void answer(QMessageBox *box, Shown &shown)
{
    shown.seen = true;
    ++shown.count;
    shown.title = box->windowTitle();
    shown.text = box->text();
    shown.icon = box->icon();
    shown.buttons = int(box->buttons().size());
    box->button(QMessageBox::Ok)->click();
}

// Runs `action` and plays the user at every modal window it opens: answers
// each message box with OK (after running `whileMessage` on it), and once the
// form `formName` is showing with no box in front of it, runs `whileOpen` on
// it and closes it. Returns how many message boxes opened and what the last
// one showed. Nothing keeps waiting for a window once `action` has returned.
inline Shown attend(const std::function<void()> &action, const QString &formName = {},
                    const std::function<void(QWidget *)> &whileOpen = {},
                    const std::function<void(QMessageBox *)> &whileMessage = {})
{
    Shown shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QMessageBox *box = openMessageBox()) {
            if (whileMessage)
                whileMessage(box);
            answer(box, shown);
        } else if (QWidget *form = formName.isEmpty() ? nullptr : visibleTopLevel(formName)) {
            if (whileOpen)
                whileOpen(form);
            form->close();
        }
    });
    poll.start(0);
    action();
    return shown;
}

template <class Widget = QWidget>
Widget *child(QWidget *form, const char *name)
{
    auto *widget = form->findChild<Widget *>(QLatin1String(name));
    if (!widget)
        qFatal("no control named %s", name);
    return widget;
}

// Types text as a user does: Latin-1 characters as key presses, anything else
// (Hangul, emoji) as text committed by an input method.
inline void typeInto(QWidget *edit, const QString &text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i;
        const bool latin1 = text[i].unicode() < 0x100;
        while (end < text.size() && (text[end].unicode() < 0x100) == latin1)
            ++end;
        if (latin1) {
            QTest::keyClicks(edit, text.mid(i, end - i));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(i, end - i));
            QApplication::sendEvent(edit, &commit);
        }
        i = end;
    }
}

inline void type(QWidget *form, const char *box, const QString &text)
{
    auto *edit = child<QLineEdit>(form, box);
    edit->clear();
    typeInto(edit, text);
}

// Clicks a button, attending to the windows its handler opens (see attend).
inline Shown clickAnswering(QWidget *form, const char *button, const QString &formName = {},
                            const std::function<void(QWidget *)> &whileOpen = {},
                            const std::function<void(QMessageBox *)> &whileMessage = {})
{
    return attend([form, button] { QTest::mouseClick(child<QPushButton>(form, button), Qt::LeftButton); }, formName,
                  whileOpen, whileMessage);
}

// Clicks a button whose handler must open no message box. One that opens all
// the same is answered at once and fails the test, which would otherwise wait
// for the box until its time runs out.
inline void click(QWidget *form, const char *button, std::source_location where = std::source_location::current())
{
    const Shown shown = clickAnswering(form, button);
    if (shown.seen) {
        const QString what = QStringLiteral("clicking %1 opened %2 message box(es), the last \"%3\": %4")
                                 .arg(QLatin1String(button)).arg(shown.count).arg(shown.title, shown.text);
        QTest::qFail(qPrintable(what), where.file_name(), int(where.line()));
    }
}

} // namespace driver
