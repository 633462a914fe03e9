#pragma once

#include "runtime/rules/Results.h"
#include "runtime/rules/Errors.h"
#include "runtime/rules/Text.h"

#include <QAbstractButton>
#include <QDialog>
#include <QRect>
#include <functional>

class QLineEdit;
class QPushButton;

namespace runtime {

// Form geometry is given in twips: 15 twips to a logical pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;
constexpr int pixels(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }
constexpr QRect pixels(QRect twips)
{
    return QRect(pixels(twips.x()), pixels(twips.y()), pixels(twips.width()), pixels(twips.height()));
}

// Places a control, or sizes a form's client area, from twips.
void place(QWidget *control, QRect twips);
void setClientSize(QWidget *form, int width, int height);
void centreOnScreen(QWidget *form);

class Label;
class MultiLineBox;

// Controls placed on a form from twips, named by their designer names.
Label *addLabel(QWidget *form, const char *name, const QString &caption, QWidget *buddy, QRect twips);
QLineEdit *addTextBox(QWidget *form, const char *name, QRect twips);
QPushButton *addButton(QWidget *form, const char *name, const QString &caption, QRect twips);
// A multi-line report box; `accessibleName` is what a screen reader calls it.
MultiLineBox *addReportBox(QWidget *parent, const char *name, const QString &accessibleName, QRect twips);

// Shows a refusal in a message box titled `title`, then moves the focus to
// its box among `boxes`.
void refuse(QWidget *form, const Refusal &refusal, const QString &title, const QList<QLineEdit *> &boxes);

// Sets the keyboard focus order of the given widgets, first to last.
void setTabOrder(std::initializer_list<QWidget *> widgets);

// Runs one event handler. A run-time error ends the handler and is shown in a
// modal message box titled with the program's name; the program goes on.
// Whatever the handler changed before the error stays as it was.
void guard(QWidget *owner, const std::function<void()> &handler);

// Runs `handler` inside the error guard whenever `button` is clicked.
template <class Handler>
void onClick(QAbstractButton *button, QWidget *form, Handler handler)
{
    QObject::connect(button, &QAbstractButton::clicked, form, [form, handler] { guard(form, handler); });
}

// A modal message box with no icon and one OK button.
void ShowMessage(QWidget *owner, const QString &prompt, const QString &title);

// The form a program starts on: closing it ends the program. While a modal
// window is open the close is refused, on every platform. X11 refuses it
// before the form hears of it; Qt 6.4's Wayland xdg-shell close handler
// (QWaylandXdgSurface::Toplevel::xdg_toplevel_close) calls QWindow::close()
// directly and skips that check, so the form makes it itself. Qt 6.8's
// Wayland client refuses the close as xcb does, but other platforms (the
// offscreen one of the tests among them) still close the form.
class StartForm : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void closeEvent(QCloseEvent *event) override;
};

enum class Modality { Modal, Modeless };

// A form that is loaded when it is shown and unloaded when it is closed.
// Loading runs Form_Load; unloading empties every text box on the form.
class LoadableForm : public QDialog {
    Q_OBJECT
public:
    explicit LoadableForm(QWidget *parent = nullptr);
    bool isLoaded() const { return m_loaded; }

protected:
    virtual void Form_Load() = 0;

    // Writes a report into two boxes: `build` fills the texts, and the boxes
    // get whatever it wrote, also when a run-time error stops it halfway.
    static void writeReport(MultiLineBox *text1, MultiLineBox *text2, const std::function<void(ReportBoxes &)> &build);

private:
    friend void ShowForm(LoadableForm &form, Modality modality);
    void load();
    void unload();
    bool m_loaded = false;
};

// Shows a form, loading it first when it is not loaded. Modal returns when
// the user has closed the form; modeless returns at once, and a form already
// shown is only brought forward.
void ShowForm(LoadableForm &form, Modality modality);

} // namespace runtime
