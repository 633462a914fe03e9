#include "runtime/desktop/Program.h"
#include "tollsheet/Form1.h"

int main(int argc, char **argv)
{
    // The base name of the desktop entry, the AppStream id and the Wayland
    // app id, which must agree. The setter only stores the name, so it may
    // come before the application object exists.
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.sheets.tollsheet"));
    return runtime::run<tollsheet::Form1>(argc, argv, "tollsheet");
}
