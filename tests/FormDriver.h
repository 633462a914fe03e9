#pragma once

// Drives a program's forms the way a user does: types into boxes, clicks
// buttons, and answers the modal boxes that a click opens.

#include "runtime/Boxes.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace driver {

// What a message box showed before it was answered.
struct Shown {
    bool seen = false;
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

inline QMessageBox *openMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

// Runs `attempt` from the event loop, again every few milliseconds until it
// reports success; a modal box or form shows up only once its caller's event
// loop runs.
inline void retryUntil(std::function<bool()> attempt, int triesLeft = 200)
{
    QTimer::singleShot(triesLeft == 200 ? 0 : 5, [attempt, triesLeft] {
        if (!attempt() && triesLeft > 0)
            retryUntil(attempt, triesLeft - 1);
    });
}

// Answers the next message box with OK, recording what it showed.
inline void answerNextMessage(Shown &shown)
{
    shown = Shown{};
    retryUntil([&shown] {
        QMessageBox *box = openMessageBox();
        if (!box)
            return false;
        shown.seen = true;
        shown.title = box->windowTitle();
        shown.text = box->text();
        shown.icon = box->icon();
        shown.buttons = int(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
        return true;
    });
}

// Once the form `name` is showing (and no message box is in front of it),
// runs `whileOpen` on it and then closes it.
inline void whenFormOpens(const QString &name, std::function<void(QWidget *)> whileOpen)
{
    retryUntil([name, whileOpen] {
        QWidget *form = visibleTopLevel(name);
        if (!form || openMessageBox())
            return false;
        whileOpen(form);
        form->close();
        return true;
    });
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

inline void click(QWidget *form, const char *button)
{
    QTest::mouseClick(child<QPushButton>(form, button), Qt::LeftButton);
}

// Clicks a button whose handler may show one message box, and returns what it showed.
inline Shown clickAnswering(QWidget *form, const char *button)
{
    Shown shown;
    answerNextMessage(shown);
    click(form, button);
    QCoreApplication::processEvents();
    return shown;
}

} // namespace driver
