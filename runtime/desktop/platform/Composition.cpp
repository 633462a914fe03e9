#include "runtime/desktop/platform/Composition.h"

#include <QCoreApplication>
#include <QEvent>
#include <QInputMethodEvent>
#include <QTextCharFormat>

namespace runtime::platform {

void Composition::show(const QString &composing, const QString &result)
{
    QTextCharFormat underlined;
    underlined.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    QList<QInputMethodEvent::Attribute> attributes;
    if (!composing.isEmpty()) {
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, 0, int(composing.size()), underlined)
                   << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, int(composing.size()), 1);
    }
    QInputMethodEvent event(composing, attributes);
    event.setCommitString(result);
    QCoreApplication::sendEvent(m_box, &event);
    m_composing = composing;
    if (composing.isEmpty())
        m_box->removeEventFilter(this);
    else
        m_box->installEventFilter(this);
}

void Composition::update(QObject *box, const std::optional<QString> &result, const std::optional<QString> &composing)
{
    if (m_box && m_box != box)
        end();
    m_box = box;
    if (m_box && (result || composing))
        show(composing.value_or(QString()), result.value_or(QString()));
}

void Composition::end()
{
    if (m_box && !m_composing.isEmpty())
        show(QString(), QString());
    m_box = nullptr;
    m_composing.clear();
}

void Composition::commit()
{
    if (!m_box || m_composing.isEmpty())
        return;
    show(QString(), m_composing);
    m_cancel();
}

bool Composition::eventFilter(QObject *watched, QEvent *event)
{
    // Before the box itself sees it: a line edit drops its preedit text when
    // it loses the focus, and a click moves the cursor.
    if (watched == m_box && (event->type() == QEvent::FocusOut || event->type() == QEvent::MouseButtonPress))
        commit();
    return false;
}

} // namespace runtime::platform
