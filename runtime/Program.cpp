#include "runtime/Program.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace runtime {

static bool isSet(const char *variable)
{
    const char *value = std::getenv(variable);
    return value && *value;
}

bool haveDisplay()
{
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY"))
        return true;
    // A platform plugin that needs no display server (offscreen, vnc, eglfs...).
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    return platform && *platform && std::strncmp(platform, "xcb", 3) != 0 && std::strncmp(platform, "wayland", 7) != 0;
}

void reportNoDisplay(const char *program)
{
    std::fprintf(stderr,
                 "%s needs a graphical display and found none: run it on a desktop, or start a virtual one "
                 "with 'Xvfb :99 &' and run it again with DISPLAY=:99.\n",
                 program);
}

} // namespace runtime
