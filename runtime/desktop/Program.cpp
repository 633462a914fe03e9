#include "runtime/desktop/Program.h"

#include "runtime/desktop/Accessibility.h"

#include "runtime/desktop/platform/Platform.h"

#include <QLibraryInfo>
#include <QWidget>
#include <QWindow>
#include <QMutex>
#include <QTranslator>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace runtime {

namespace {

// What Qt said while the application was being created.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
QMutex heldLock;
QList<HeldMessage> held;
std::atomic<bool> starting = false;

// The sentence that says there is no display and how to get one, made before
// it is needed so that a signal handler can write it.
char noDisplaySentence[512];

// Prints, in one sentence, that there is no display and how to get one.
void reportNoDisplay()
{
    std::fputs(noDisplaySentence, stderr);
}

// Qt 6.4 ends the program in two ways when it cannot reach a display. With no
// platform plugin that starts (a DISPLAY or WAYLAND_DISPLAY naming nothing
// alive, or none at all) it aborts with its own fatal message. A Wayland
// compositor that accepts the connection and then hangs up makes Qt's Wayland
// client (QWaylandDisplay::checkError) warn that the connection broke or
// failed and end the process with _exit(1), at whatever moment of the
// start-up it notices, so no exit handler runs. Until the first form is
// exposed, Qt's messages are held back: the fatal one, that warning, or an
// exit gives the program's own sentence instead, and the others are passed on
// once the form is on the screen.
void holdWhileStarting(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // Qt 6.8 ends a broken Wayland connection with a fatal message.
    const bool waylandLost = QT_VERSION < QT_VERSION_CHECK(6, 8, 0) && text.startsWith(QLatin1String("The Wayland connection"));
    if (type == QtFatalMsg || waylandLost) {
        reportNoDisplay();
        std::fflush(stderr);
        std::_Exit(1);
    }
    const QMutexLocker lock(&heldLock);
    held.append({type, QByteArray(context.category), text});
}

// Any other exit before the form is on the screen.
void reportExitWhileStarting()
{
    if (starting.exchange(false))
        reportNoDisplay();
}

void passOnHeldMessages()
{
    if (starting.exchange(false))
        platform::releaseCrashesWhileStarting();
    qInstallMessageHandler(previousHandler);
    const QMutexLocker lock(&heldLock);
    for (const HeldMessage &message : std::as_const(held)) {
        QMessageLogContext context;
        context.category = message.category.constData();
        previousHandler(message.type, context, message.text);
    }
    held.clear();
}

// Ends the start-up when its window is first exposed, then goes.
class ExposeWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            passOnHeldMessages();
            deleteLater();
        }
        return false;
    }
};

} // namespace

std::unique_ptr<QApplication> startApplication(int &argc, char **argv, const char *name)
{
    platform::formatNoDisplaySentence(noDisplaySentence, sizeof noDisplaySentence, name);
    starting = true;
    platform::catchCrashesWhileStarting(noDisplaySentence, starting);
    std::atexit(reportExitWhileStarting);
    previousHandler = qInstallMessageHandler(holdWhileStarting);
    auto app = std::make_unique<QApplication>(argc, argv);

    QApplication::setApplicationName(QString::fromUtf8(name));
    auto *qtTexts = new QTranslator(app.get());
    if (qtTexts->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexts);
    platform::prepareFonts();
    platform::prepareInputMethods();
    installAccessibleBoxes();
    return app;
}

int runUntilClosed(QApplication &app, QWidget &form)
{
    form.show();
    QWindow *window = form.windowHandle();
    if (window && !window->isExposed()) {
        auto *filter = new ExposeWatch(window);
        window->installEventFilter(filter);
    } else {
        passOnHeldMessages();
    }
    const int status = app.exec();
    passOnHeldMessages(); // a window never exposed is no display failure once closed
    return status;
}

} // namespace runtime
