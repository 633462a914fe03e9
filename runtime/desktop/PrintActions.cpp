#include "runtime/desktop/PrintActions.h"

#include "runtime/desktop/PdfWriter.h"
#include "runtime/desktop/PrintModule.h"
#include "runtime/forms/Boxes.h"
#include "runtime/forms/Forms.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QStandardPaths>
#include <memory>

namespace runtime {

namespace {

// The file a "PDF로 저장..." proposes: the program's name and the date
// ("tollsheet-2026-12-07.pdf") in the user's documents folder, or in the home
// folder when there is no documents folder.
QString proposedPdfPath(const QDate &date)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(
        QStringLiteral("%1-%2.pdf").arg(QCoreApplication::applicationName(), date.toString(Qt::ISODate)));
}

// The lines a text box shows, blanks kept; the empty line after a final line
// break is not one of them.
QStringList shownLines(const QPlainTextEdit &box)
{
    QStringList lines = box.toPlainText().split(u'\n');
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// The print module beside the program (see PrintModule.h), loaded on first
// use and kept. QLibrary adds the system's suffix (.so, .dll). Null, with the reason in `error`, when it cannot be loaded.
PrintFunction printModule(QString &error)
{
    static PrintFunction function = nullptr;
    if (!function) {
        QLibrary module(QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral(SHEETS_PRINT_MODULE_DIR "/%1/print")
                                          .arg(QCoreApplication::applicationName())));
        function = reinterpret_cast<PrintFunction>(module.resolve(PrintFunctionName));
        if (!function)
            error = module.errorString();
    }
    return function;
}

// The table as an HTML document: the column names as header cells, each cell
// escaped. The charset is declared, so that a reader of the bytes takes them
// as UTF-8; the style keeps a cell's blanks for readers that honour it.
QString tableHtml(const ReportTable &table)
{
    auto row = [](const QStringList &cells, QLatin1String tag) {
        QString html = QStringLiteral("<tr>");
        for (const QString &cell : cells)
            html += QStringLiteral("<%1>%2</%1>").arg(tag, cell.toHtmlEscaped());
        return html + QStringLiteral("</tr>\n");
    };
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><style>td, th { white-space: pre }</style>"
                                  "</head><body>\n<table>\n");
    html += row(table.header, QLatin1String("th"));
    for (const QStringList &cells : table.rows)
        html += row(cells, QLatin1String("td"));
    return html + QStringLiteral("</table>\n</body></html>\n");
}

// The table as lines of tab-separated cells, each line ending in "\n". A tab
// or line break inside a cell becomes a blank, so that it stays one cell.
QString tableText(const ReportTable &table)
{
    QString text;
    for (const QStringList &cells : QList<QStringList>{table.header} + table.rows) {
        QStringList line;
        for (QString cell : cells)
            line << cell.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
        text += line.join(u'\t') + u'\n';
    }
    return text;
}

void tell(QWidget *owner, const QString &message)
{
    ShowMessage(owner, message, QCoreApplication::applicationName());
}

} // namespace

ReportPrinter::ReportPrinter(QWidget *form, const QString &title, const QList<MultiLineBox *> &boxes)
    : QObject(form), m_form(form), m_title(title), m_boxes(boxes)
{
    setObjectName(QStringLiteral("ReportPrinter"));
    auto action = [this](const char *name, const QString &text, QKeySequence keys, void (ReportPrinter::*handler)()) {
        auto *action = new QAction(text, m_form);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        m_form->addAction(action);
        connect(action, &QAction::triggered, this, [this, handler] { guard(m_form, [this, handler] { (this->*handler)(); }); });
        return action;
    };
    m_print = action("printAction", QStringLiteral("인쇄..."), QKeySequence(Qt::CTRL | Qt::Key_P), &ReportPrinter::print);
    m_savePdf = action("savePdfAction", QStringLiteral("PDF로 저장..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                       &ReportPrinter::savePdf);
    m_copyTable = action("copyTableAction", QStringLiteral("표로 복사"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                         &ReportPrinter::copyTable);

    for (MultiLineBox *box : m_boxes) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, box](const QPoint &position) { guard(m_form, [&] { showContextMenu(box, position); }); });
        // The Menu key reaches the box as a context menu event where the
        // platform sends one (X11 does); Qt 6.4 has nothing for Shift+F10.
        auto *menuKeys = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), box);
        menuKeys->setContext(Qt::WidgetShortcut);
        connect(menuKeys, &QShortcut::activated, this,
                [this, box] { guard(m_form, [&] { showContextMenu(box, box->cursorRect().center()); }); });
    }
}

PrintedReport ReportPrinter::report(const QDateTime &now) const
{
    PrintedReport report{m_title, now, m_form->font(), {}};
    for (const MultiLineBox *box : m_boxes)
        report.blocks.append({box->accessibleName(), shownLines(*box), box->font()});
    return report;
}

void ReportPrinter::showContextMenu(MultiLineBox *box, const QPoint &position)
{
    const std::unique_ptr<QMenu> menu(box->createStandardContextMenu(position));
    menu->setObjectName(QStringLiteral("reportContextMenu"));
    menu->addSeparator();
    menu->addAction(m_print);
    menu->addAction(m_savePdf);
    menu->addAction(m_copyTable);
    menu->exec(box->viewport()->mapToGlobal(position));
}

void ReportPrinter::print()
{
    QString error;
    const PrintFunction printWithDialog = printModule(error);
    if (!printWithDialog) {
        tell(m_form, QStringLiteral("인쇄 기능을 불러오지 못했습니다.\n%1").arg(error));
        return;
    }
    const auto paint = [this](QPagedPaintDevice &device) { return layOutReport(device, report()); };
    if (printWithDialog(m_form, m_title, paint, error) == PrintOutcome::Failed)
        tell(m_form, QStringLiteral("인쇄하지 못했습니다.\n%1").arg(error));
}

void ReportPrinter::savePdf()
{
    const QString proposed = proposedPdfPath(QDate::currentDate());
    QFileDialog dialog(m_form, QStringLiteral("PDF로 저장"), QFileInfo(proposed).path(),
                       QStringLiteral("PDF 파일 (*.pdf)"));
    dialog.setObjectName(QStringLiteral("savePdfDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QFileInfo(proposed).fileName());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        writePdf(dialog.selectedFiles().constFirst());
}

bool ReportPrinter::writePdf(const QString &path)
{
    const QString error = writeReportPdf(path, report());
    if (!error.isEmpty())
        tell(m_form, QStringLiteral("PDF 파일을 저장하지 못했습니다.\n%1\n%2").arg(QDir::toNativeSeparators(path), error));
    return error.isEmpty();
}

void ReportPrinter::copyTable()
{
    auto *data = new QMimeData;
    data->setHtml(tableHtml(m_table));
    data->setText(tableText(m_table));
    QGuiApplication::clipboard()->setMimeData(data);
}

ReportPrinter *addPrintActions(QWidget *form, const QString &title, const QList<MultiLineBox *> &boxes)
{
    return new ReportPrinter(form, title, boxes);
}

} // namespace runtime

