#pragma once

#include <QApplication>
#include <memory>

namespace runtime {

// Creates the program's QApplication, with Qt's own texts (buttons, context
// menus, standard dialogs) in Korean whatever the locale, and its text boxes
// accessible to screen readers. Until the first form is on the screen (see
// runUntilClosed), any failure to reach a display prints the no-display
// sentence and ends the program with status 1.
std::unique_ptr<QApplication> startApplication(int &argc, char **argv, const char *name);

// Shows the start-up form, ends the start-up once the display has exposed it,
// and runs the program until the form closes.
int runUntilClosed(QApplication &app, QWidget &form);

// Starts a program on its start-up form and runs it until that form closes.
template <class FirstForm>
int run(int argc, char **argv, const char *name)
{
    const std::unique_ptr<QApplication> app = startApplication(argc, argv, name);
    FirstForm form;
    return runUntilClosed(*app, form);
}

} // namespace runtime
