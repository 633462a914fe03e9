#include "runtime/desktop/platform/Platform.h"

#include <QByteArray>
#include <QtGlobal>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace runtime::platform {

namespace {

const char *crashSentence = nullptr;
const std::atomic<bool> *crashStarting = nullptr;
bool catching = false;
struct sigaction previousSegv, previousBus;

// Qt 6.4's Wayland client can crash while a compositor hangs up during its
// start-up, now and then, when a request on the broken connection yields no
// object (seen once in about a hundred starts on a busy machine). Only while a
// Wayland start-up is under way, a crash gives the sentence too.
void crashWhileStarting(int)
{
    if (*crashStarting)
        (void)!write(STDERR_FILENO, crashSentence, std::strlen(crashSentence));
    _exit(1);
}

bool wantsWayland()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && (platform.isEmpty() || platform.startsWith("wayland"));
}

} // namespace

void formatNoDisplaySentence(char *buffer, std::size_t size, const char *name)
{
    std::snprintf(buffer, size,
                  "%s needs a graphical display and found none: run it on a desktop, or start a virtual one "
                  "with 'Xvfb :99 &' and run it again with DISPLAY=:99.\n",
                  name);
}

void catchCrashesWhileStarting(const char *sentence, const std::atomic<bool> &starting)
{
    if (!wantsWayland())
        return;
    crashSentence = sentence;
    crashStarting = &starting;
    struct sigaction action = {};
    action.sa_handler = crashWhileStarting;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, &previousSegv);
    sigaction(SIGBUS, &action, &previousBus);
    catching = true;
}

void releaseCrashesWhileStarting()
{
    if (!catching)
        return;
    sigaction(SIGSEGV, &previousSegv, nullptr);
    sigaction(SIGBUS, &previousBus, nullptr);
    catching = false;
}

// fontconfig finds the Nanum fonts that the packages depend on.
void prepareFonts() {}

void prepareInputMethods() {}

} // namespace runtime::platform
