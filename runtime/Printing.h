#pragma once

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QPagedPaintDevice;
class QPlainTextEdit;
class QWidget;

namespace runtime {

class MultiLineBox;

// A report as it goes onto paper: a title, the time it was printed, and
// captioned blocks of lines. `font` is the family (and largest size) a block's
// lines are printed in; `headingFont` the family of the title and captions.
struct PrintedReport {
    struct Block {
        QString caption;
        QStringList lines;
        QFont font;
    };
    QString title;
    QDateTime printedAt;
    QFont headingFont;
    QList<Block> blocks;
};

// Margins of every printed page, in millimetres.
constexpr qreal PageMarginMillimetres = 20;

// Lays the report out on the device's pages, inside the margins it has: the
// title and the time of printing at the top of every page, then each block's
// caption and lines, and "n / m" at the foot of every page. A block's lines
// keep their blanks and are printed in the block's font family, at its size or
// smaller, so that its longest line fits the page width; a line too long for
// the width even at the smallest size wraps, its continuation indented. Pages
// break between lines. Returns the number of pages, or 0 when the device could
// not be painted on.
int layOutReport(QPagedPaintDevice &device, const PrintedReport &report);

// Writes the report as an A4 portrait PDF to `path`, through a temporary file
// in the same folder that replaces `path` only once it is complete. Returns
// an empty text, or why the file could not be written; a file already at
// `path` is then left as it was.
QString writeReportPdf(const QString &path, const PrintedReport &report);

// The file a "PDF로 저장..." proposes: the program's name and the date
// ("tollsheet-2026-12-07.pdf") in the user's documents folder, or in the home
// folder when there is no documents folder.
QString proposedPdfPath(const QDate &date);

// The lines a text box shows, blanks kept; the empty line after a final line
// break is not one of them.
QStringList shownLines(const QPlainTextEdit &box);

// Prints and saves a report form's boxes. Made by addPrintActions; the form
// owns it.
class ReportPrinter : public QObject {
    Q_OBJECT
public:
    // Each box is printed under the name a screen reader gives it, its
    // frame's caption.
    ReportPrinter(QWidget *form, const QString &title, const QList<MultiLineBox *> &boxes);

    QAction *printAction() const { return m_print; }
    QAction *savePdfAction() const { return m_savePdf; }

    // The report as the boxes show it now, printed at `now`.
    PrintedReport report(const QDateTime &now = QDateTime::currentDateTime()) const;

    // "인쇄...": the system print dialog, then the pages to the printer chosen.
    void print();
    // "PDF로 저장...": a save dialog, then the PDF to the file chosen.
    void savePdf();
    // Writes the PDF to `path`; a message box says why when it cannot. Returns
    // whether the file was written.
    bool writePdf(const QString &path);

private:
    void showContextMenu(MultiLineBox *box, const QPoint &position);

    QWidget *m_form;
    QString m_title;
    QList<MultiLineBox *> m_boxes;
    QAction *m_print;
    QAction *m_savePdf;
};

// Gives a report form "인쇄..." (Ctrl+P) and "PDF로 저장..." (Ctrl+Shift+S):
// the keys work anywhere in the form, and both entries follow Qt's own in the
// boxes' context menus (right button, Menu key, Shift+F10). Every handler runs
// inside the error guard.
ReportPrinter *addPrintActions(QWidget *form, const QString &title, const QList<MultiLineBox *> &boxes);

} // namespace runtime
