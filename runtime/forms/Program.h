#pragma once

#include <QApplication>
#include <memory>

namespace runtime {

// Creates the program's QApplication, with Qt's own texts (buttons, context
// menus, standard dialogs) in Korean whatever the locale, and its text boxes
// accessible to screen readers. When no display can be reached, it prints the
// no-display sentence and ends the program with status 1.
std::unique_ptr<QApplication> startApplication(int &argc, char **argv, const char *name);

// Starts a program on its start-up form and runs it until that form closes.
template <class FirstForm>
int run(int argc, char **argv, const char *name)
{
    const std::unique_ptr<QApplication> app = startApplication(argc, argv, name);
    FirstForm form;
    form.show();
    return app->exec();
}

} // namespace runtime
