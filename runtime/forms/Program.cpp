#include "runtime/forms/Program.h"

#include "runtime/desktop/Accessibility.h"

#include <QLibraryInfo>
#include <QMutex>
#include <QTranslator>
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

const char *startingProgram = "";
QtMessageHandler previousHandler = nullptr;
QMutex heldLock;
QList<HeldMessage> held;

// Prints, in one sentence, that there is no display and how to get one.
void reportNoDisplay(const char *program)
{
    std::fprintf(stderr,
                 "%s needs a graphical display and found none: run it on a desktop, or start a virtual one "
                 "with 'Xvfb :99 &' and run it again with DISPLAY=:99.\n",
                 program);
}

// Qt 6.4 aborts with its own fatal message when no platform plugin can be
// started: no X server or Wayland compositor answers (a DISPLAY or
// WAYLAND_DISPLAY naming nothing alive, or none at all). While the application
// is created, its messages are held back; that fatal one is replaced by the
// program's own sentence, and the others are passed on once Qt is up.
void holdWhileStarting(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        reportNoDisplay(startingProgram);
        std::fflush(stderr);
        std::_Exit(1);
    }
    const QMutexLocker lock(&heldLock);
    held.append({type, QByteArray(context.category), text});
}

void passOnHeldMessages()
{
    qInstallMessageHandler(previousHandler);
    const QMutexLocker lock(&heldLock);
    for (const HeldMessage &message : std::as_const(held)) {
        QMessageLogContext context;
        context.category = message.category.constData();
        previousHandler(message.type, context, message.text);
    }
    held.clear();
}

} // namespace

std::unique_ptr<QApplication> startApplication(int &argc, char **argv, const char *name)
{
    startingProgram = name;
    previousHandler = qInstallMessageHandler(holdWhileStarting);
    auto app = std::make_unique<QApplication>(argc, argv);
    passOnHeldMessages();

    QApplication::setApplicationName(QString::fromUtf8(name));
    auto *qtTexts = new QTranslator(app.get());
    if (qtTexts->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexts);
    installAccessibleBoxes();
    return app;
}

} // namespace runtime
