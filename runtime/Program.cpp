#include "runtime/Program.h"

#include <cstdio>
#include <cstdlib>

namespace runtime {

static bool isSet(const char *variable)
{
    const char *value = std::getenv(variable);
    return value && *value;
}

bool haveDisplay()
{
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

void reportNoDisplay(const char *program)
{
    std::fprintf(stderr,
                 "%s needs a graphical display and found none: run it on a desktop, or start a virtual one "
                 "with 'Xvfb :99 &' and run it again with DISPLAY=:99.\n",
                 program);
}

} // namespace runtime
