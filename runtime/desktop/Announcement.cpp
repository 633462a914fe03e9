#include "runtime/desktop/Announcement.h"

#include <QAccessibleWidget>
#include <QTimer>
#include <QWidget>

namespace runtime {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void announce(QWidget *form, const QString &text)
{
    if (!form || !QAccessible::isActive())
        return;
    QAccessibleAnnouncementEvent event(form, text);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
}

#else

namespace {

// The form's child that screen readers hear as a notification: 1x1 at the
// form's corner, beneath every control, painting nothing, taking neither the
// focus nor a click. It holds the text to speak and hides itself after a while.
class Announcement : public QWidget {
public:
    explicit Announcement(QWidget *form) : QWidget(form)
    {
        setObjectName(QStringLiteral("announcement"));
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setAutoFillBackground(false);
        setGeometry(0, 0, 1, 1);
        lower();
        m_expiry.setSingleShot(true);
        m_expiry.setInterval(5000);
        QObject::connect(&m_expiry, &QTimer::timeout, this, &QWidget::hide);
    }

    QString text() const { return m_text; }

    void say(const QString &text)
    {
        // Hidden and shown again, so that a text said twice is spoken twice.
        hide();
        m_text = text;
        show();
        m_expiry.start();
    }

protected:
    void paintEvent(QPaintEvent *) override {}

private:
    QString m_text;
    QTimer m_expiry;
};

class AccessibleAnnouncement : public QAccessibleWidget {
public:
    explicit AccessibleAnnouncement(Announcement *widget) : QAccessibleWidget(widget, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<Announcement *>(widget())->text() : QString();
    }
};

QAccessibleInterface *announcementInterface(const QString &, QObject *object)
{
    // Announcement has no meta-object of its own: its class name is QWidget's.
    if (auto *announcement = dynamic_cast<Announcement *>(object))
        return new AccessibleAnnouncement(announcement);
    return nullptr;
}

} // namespace

void announce(QWidget *form, const QString &text)
{
    if (!form || !QAccessible::isActive())
        return;
    static const bool installed = [] {
        QAccessible::installFactory(announcementInterface);
        return true;
    }();
    Q_UNUSED(installed);
    Announcement *announcement = nullptr;
    for (QObject *child : form->children()) {
        if ((announcement = dynamic_cast<Announcement *>(child)))
            break;
    }
    if (!announcement)
        announcement = new Announcement(form);
    announcement->say(text);
}

#endif

} // namespace runtime
