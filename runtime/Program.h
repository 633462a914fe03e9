#pragma once

#include <QApplication>
#include <memory>

namespace runtime {

// True when Qt has somewhere to show windows: a display server, or a platform
// plugin named by QT_QPA_PLATFORM (offscreen, for example).
bool haveDisplay();

// Prints, in one sentence, that there is no display and how to get one.
void reportNoDisplay(const char *program);

// Starts a program on its start-up form and runs it until that form closes.
template <class StartForm>
int run(int argc, char **argv, const char *name)
{
    if (!haveDisplay()) {
        reportNoDisplay(name);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(name));
    auto form = std::make_unique<StartForm>();
    form->show();
    return app.exec();
}

} // namespace runtime
