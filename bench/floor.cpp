// The floor for showing Korean text with Qt Widgets: one window holding one
// Korean caption in the entry forms' font, and nothing else. Like the forms'
// captions, the label is placed at a fixed size, so nothing is measured or
// laid out before the window is shown. scripts/bench-startup compares both
// programs with it.
#include "runtime/desktop/platform/Platform.h"
#include "runtime/forms/Fonts.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    runtime::platform::prepareFonts(); // nothing on Linux; the shipped fonts on Windows
    QWidget window;
    window.setFont(runtime::formFont());
    window.resize(345, 263);
    QLabel label(QStringLiteral("고객번호"), &window);
    label.setGeometry(56, 32, 97, 17);
    window.show();
    return app.exec();
}
