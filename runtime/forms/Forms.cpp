#include "runtime/rules/Results.h"
#include "runtime/forms/Forms.h"

#include "runtime/forms/Boxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <new>

namespace runtime {

// Gives the box's OK button the one OK icon that every message box of the
// program shows. Qt 6.4's QMessageBox asks QStyle::standardIcon() for the
// button's icon, and QCommonStyle::standardIcon() (or QIcon::fromTheme() under
// a desktop theme) loads a new QIcon, with new pixmaps, on every call.
// Painting the button, QPixmapIconEngine::scaledPixmap() files the pixmap in
// QPixmapCache under that new pixmap's cacheKey(), and the entry stays there
// after the box is gone: each box shown left about 1.3 KiB behind, and a
// program refusing entry after entry grew until the cache's 10 MB limit.
// Painted from one icon, every box finds the same entry.
static void shareOkIcon(QMessageBox &box)
{
    QAbstractButton *ok = box.button(QMessageBox::Ok);
    if (!ok || ok->icon().isNull())
        return; // the style shows no icons on dialog buttons
    static const QIcon shared = ok->icon();
    ok->setIcon(shared);
}

static void showError(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text, QMessageBox::Ok, owner);
    shareOkIcon(box);
    box.exec();
}

void guard(QWidget *owner, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        showError(owner, error.description());
    } catch (const std::bad_alloc &) {
        showError(owner, QStringLiteral("메모리가 부족합니다."));
    }
}

void place(QWidget *control, QRect twips)
{
    control->setGeometry(pixels(twips));
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

Label *addLabel(QWidget *form, const char *name, const QString &caption, QWidget *buddy, QRect twips)
{
    auto *label = new Label(caption, form);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    place(label, twips);
    // Labels lie on the form beneath every box, so a box's whole rectangle
    // takes clicks even where a label's rectangle reaches into it.
    label->lower();
    return label;
}

QLineEdit *addTextBox(QWidget *form, const char *name, QRect twips)
{
    auto *box = new TextBox(form);
    box->setObjectName(QLatin1String(name));
    place(box, twips);
    return box;
}

QPushButton *addButton(QWidget *form, const char *name, const QString &caption, QRect twips)
{
    auto *button = new QPushButton(caption, form);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    place(button, twips);
    return button;
}

MultiLineBox *addReportBox(QWidget *parent, const char *name, const QString &accessibleName, QRect twips)
{
    auto *box = new MultiLineBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    place(box, twips);
    return box;
}

void refuse(QWidget *form, const Refusal &refusal, const QString &title, const QList<QLineEdit *> &boxes)
{
    ShowMessage(form, refusal.message, title);
    if (refusal.box > 0 && refusal.box <= boxes.size())
        boxes[refusal.box - 1]->setFocus();
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
    shareOkIcon(box);
    box.exec();
}

void StartForm::closeEvent(QCloseEvent *event)
{
    if (QApplication::activeModalWidget()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

LoadableForm::LoadableForm(QWidget *parent) : QDialog(parent)
{
    connect(this, &QDialog::finished, this, &LoadableForm::unload);
}

void LoadableForm::writeReport(MultiLineBox *text1, MultiLineBox *text2,
                               const std::function<void(ReportBoxes &)> &build)
{
    ReportBoxes report;
    const auto assign = qScopeGuard([&] {
        text1->setText(report.Text1);
        text2->setText(report.Text2);
    });
    build(report);
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
