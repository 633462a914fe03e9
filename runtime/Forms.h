#pragma once

#include "runtime/Errors.h"

#include <QAbstractButton>
#include <QDialog>
#include <QRect>

namespace runtime {

// Form geometry is given in twips: 15 twips to a logical pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;
constexpr int pixels(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }
constexpr QRect twipRect(int left, int top, int width, int height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

// Places a control, or sizes a form's client area, from twips.
void place(QWidget *control, int left, int top, int width, int height);
void setClientSize(QWidget *form, int width, int height);
void centreOnScreen(QWidget *form);

// Sets the keyboard focus order of the given widgets, first to last.
void setTabOrder(std::initializer_list<QWidget *> widgets);

// Runs `handler` inside the error guard whenever `button` is clicked.
template <class Handler>
void onClick(QAbstractButton *button, QWidget *form, Handler handler)
{
    QObject::connect(button, &QAbstractButton::clicked, form, [form, handler] { guard(form, handler); });
}

// A modal message box with no icon and one OK button.
void ShowMessage(QWidget *owner, const QString &prompt, const QString &title);

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
