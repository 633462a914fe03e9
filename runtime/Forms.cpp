#include "runtime/Forms.h"

#include "runtime/Boxes.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>

namespace runtime {

void place(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(twipRect(left, top, width, height));
}

void setClientSize(QWidget *form, int width, int height)
{
    form->resize(pixels(width), pixels(height));
}

void centreOnScreen(QWidget *form)
{
    const QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), form->size());
    frame.moveCenter(screen->availableGeometry().center());
    form->move(frame.topLeft());
}

void setTabOrder(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void ShowMessage(QWidget *owner, const QString &prompt, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, owner);
    box.exec();
}

LoadableForm::LoadableForm(QWidget *parent) : QDialog(parent)
{
    connect(this, &QDialog::finished, this, &LoadableForm::unload);
}

void LoadableForm::load()
{
    m_loaded = true;
    guard(this, [this] { Form_Load(); });
}

void LoadableForm::unload()
{
    m_loaded = false;
    for (MultiLineBox *box : findChildren<MultiLineBox *>())
        box->setText(QString());
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->clear();
}

void ShowForm(LoadableForm &form, Modality modality)
{
    if (!form.isLoaded())
        form.load();
    if (modality == Modality::Modal) {
        form.exec();
    } else {
        form.show();
        form.raise();
        form.activateWindow();
    }
}

} // namespace runtime
