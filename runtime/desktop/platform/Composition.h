#pragma once

// What a Windows input method composes, carried into the box being typed
// into. Windows.cpp reads the input method's messages and calls this; it
// needs no window of its own, so the tests drive it on every platform.
//
// A Korean input method composes one syllable at a time: the syllable shows
// in the box as preedit text, and a result commits it. It may hand on a
// consonant in one step (a result and the next syllable together, "간" then
// "ㅏ" giving "가" and "나"), or in two (a result that ends the composition,
// then a new one). Whatever the box loses, the focus or a click, commits the
// syllable first, so that a button's handler finds it in the box.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

namespace runtime::platform {

class Composition : public QObject {
public:
    // `cancel` makes the input method drop the syllable that was committed
    // for it.
    explicit Composition(std::function<void()> cancel) : m_cancel(std::move(cancel)) {}

    // One message of the input method for `box`: `result` is committed and
    // `composing` becomes the syllable shown; either may be absent.
    void update(QObject *box, const std::optional<QString> &result, const std::optional<QString> &composing);
    // The input method ended its composition: what it still showed goes.
    void end();
    // Commits the syllable being composed into its box, and has the input
    // method drop it.
    void commit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show(const QString &composing, const QString &result);

    std::function<void()> m_cancel;
    QPointer<QObject> m_box;
    QString m_composing;
};

} // namespace runtime::platform
