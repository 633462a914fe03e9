#pragma once

#include "runtime/desktop/PageLayout.h"
#include "runtime/rules/Results.h"

#include <QList>
#include <QObject>

class QAction;
class QWidget;

namespace runtime {

class MultiLineBox;

// Prints and saves a report form's boxes, and copies its table. Made by
// addPrintActions; the form owns it.
class ReportPrinter : public QObject {
    Q_OBJECT
public:
    // Each box is printed under the name a screen reader gives it, its
    // frame's caption.
    ReportPrinter(QWidget *form, const QString &title, const QList<MultiLineBox *> &boxes);

    QAction *printAction() const { return m_print; }
    QAction *savePdfAction() const { return m_savePdf; }
    QAction *copyTableAction() const { return m_copyTable; }

    // The table "표로 복사" copies: the form gives it the one its report was
    // last written with, which the boxes' own text never changes.
    void setTable(const ReportTable &table) { m_table = table; }

    // The report as the boxes show it now, printed at `now`.
    PrintedReport report(const QDateTime &now = QDateTime::currentDateTime()) const;

    // "인쇄...": the system print dialog, then the pages to the printer chosen.
    void print();
    // "PDF로 저장...": a save dialog, then the PDF to the file chosen.
    void savePdf();
    // Writes the PDF to `path`; a message box says why when it cannot. Returns
    // whether the file was written.
    bool writePdf(const QString &path);
    // "표로 복사": the table onto the clipboard, as an HTML table and as
    // tab-separated text, so that a spreadsheet takes one value a cell.
    void copyTable();

private:
    void showContextMenu(MultiLineBox *box, const QPoint &position);

    QWidget *m_form;
    QString m_title;
    QList<MultiLineBox *> m_boxes;
    QAction *m_print;
    QAction *m_savePdf;
    QAction *m_copyTable;
    ReportTable m_table;
};

// Gives a report form "인쇄..." (Ctrl+P), "PDF로 저장..." (Ctrl+Shift+S) and
// "표로 복사" (Ctrl+Shift+C): the keys work anywhere in the form, and the
// entries follow Qt's own in the boxes' context menus (right button, Menu key,
// Shift+F10). Every handler runs inside the error guard.
ReportPrinter *addPrintActions(QWidget *form, const QString &title, const QList<MultiLineBox *> &boxes);

} // namespace runtime
