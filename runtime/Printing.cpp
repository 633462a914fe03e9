#include "runtime/Printing.h"

#include "runtime/Boxes.h"
#include "runtime/Forms.h"
#include "runtime/PrintModule.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLibrary>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QShortcut>
#include <QStandardPaths>
#include <QTextLayout>
#include <memory>
#include <vector>

namespace runtime {

namespace {

// Lines are never printed smaller than this; a line that does not fit the
// page width even at this size wraps.
constexpr qreal SmallestPointSize = 6;

QFont sized(QFont font, qreal points, bool bold = false)
{
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

qreal pointSize(const QFont &font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

// The block's size or a smaller one at which its widest line fits `width`,
// never below SmallestPointSize.
qreal fittingPointSize(const PrintedReport::Block &block, qreal width, QPaintDevice *device)
{
    qreal size = pointSize(block.font);
    // Widths grow almost in proportion to the size: two or three rounds settle it.
    for (int round = 0; round < 4; ++round) {
        const QFontMetricsF metrics(sized(block.font, size), device);
        qreal widest = 0;
        for (const QString &line : block.lines)
            widest = qMax(widest, metrics.horizontalAdvance(line));
        if (widest <= width || size <= SmallestPointSize)
            break;
        size = qMax(SmallestPointSize, size * width / widest * 0.995);
    }
    return size;
}

// A paragraph laid out in lines of `width`, the continuation lines moved in
// by `indent`.
std::unique_ptr<QTextLayout> wrapped(const QString &text, const QFont &font, qreal width, qreal indent,
                                     QPaintDevice *device)
{
    auto layout = std::make_unique<QTextLayout>(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(font, device).horizontalAdvance(QString(8, u' ')));
    layout->setTextOption(option);
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        const bool continuation = layout->lineCount() > 1;
        line.setLineWidth(continuation ? width - indent : width);
        line.setPosition(QPointF(continuation ? indent : 0, 0));
    }
    layout->endLayout();
    return layout;
}

// Draws a line of text without its blanks' glyphs, each character where
// the layout put it. Qt 6.4's PDF output tells readers which character a glyph
// stands for by the lowest code point the font maps to it, and the Nanum fonts
// map the control characters U+0001 to U+001F to their blank glyph: drawn, a
// blank would copy and search as U+0001. Left out, the gap is the blank, as
// PDF readers expect.
void drawWithoutBlanks(QPainter &painter, const QTextLine &line, const QPointF &position)
{
    for (QGlyphRun run : line.glyphRuns()) {
        const QList<quint32> blanks = run.rawFont().glyphIndexesForString(QStringLiteral(" \u00a0\t"));
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        QList<quint32> kept;
        QList<QPointF> keptPositions;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            if (!blanks.contains(glyphs[i])) {
                kept.append(glyphs[i]);
                keptPositions.append(positions[i]);
            }
        }
        if (kept.isEmpty())
            continue;
        run.setGlyphIndexes(kept);
        run.setPositions(keptPositions);
        painter.drawGlyphRun(position, run);
    }
}

// One line of text in `font` with its baseline's left end at `baseline`.
void drawText(QPainter &painter, const QString &text, const QFont &font, const QPointF &baseline)
{
    QTextLayout layout(text, font, painter.device());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setNumColumns(int(text.size()));
    layout.endLayout();
    drawWithoutBlanks(painter, line, baseline - QPointF(0, line.ascent()));
}

} // namespace

int layOutReport(QPagedPaintDevice &device, const PrintedReport &report)
{
    QPaintDevice *const pd = &device;
    const qreal width = device.width();
    const qreal height = device.height();

    const QFont titleFont = sized(report.headingFont, 14, true);
    const QFont captionFont = sized(report.headingFont, 10.5, true);
    const QFont smallFont = sized(report.headingFont, 9);
    const QFontMetricsF titleMetrics(titleFont, pd);
    const QFontMetricsF captionMetrics(captionFont, pd);
    const QFontMetricsF smallMetrics(smallFont, pd);
    const qreal top = titleMetrics.lineSpacing() + captionMetrics.lineSpacing();
    const qreal bottom = height - 2 * smallMetrics.lineSpacing();

    // First the places: every line of text, with its page and its height on it.
    struct Placed {
        int page;
        qreal y;
        const QTextLayout *layout;
        int line;
    };
    std::vector<std::unique_ptr<QTextLayout>> layouts;
    std::vector<Placed> placed;
    int page = 0;
    qreal y = top;
    bool pageEmpty = true;
    auto nextPage = [&] {
        ++page;
        y = top;
        pageEmpty = true;
    };
    // Places one visual line, on the next page when this one has no room
    // left for it.
    auto place = [&](const QTextLayout *layout, int line, qreal spacing) {
        if (!pageEmpty && y + spacing > bottom)
            nextPage();
        placed.push_back({page, y, layout, line});
        y += spacing;
        pageEmpty = false;
    };

    for (const PrintedReport::Block &block : report.blocks) {
        if (!pageEmpty)
            y += captionMetrics.lineSpacing() / 2;
        const QFont font = sized(block.font, fittingPointSize(block, width, pd));
        const QFontMetricsF metrics(font, pd);
        // A fifth more than the screen's spacing: the syllables of adjacent lines
        // nearly touch on paper otherwise.
        const qreal spacing = metrics.lineSpacing() * 1.2;
        const qreal indent = metrics.horizontalAdvance(QString(4, u' '));

        std::vector<const QTextLayout *> lines;
        for (const QString &text : block.lines) {
            layouts.push_back(wrapped(text, font, width, indent, pd));
            lines.push_back(layouts.back().get());
        }
        layouts.push_back(wrapped(block.caption, captionFont, width, 0, pd));
        const QTextLayout *caption = layouts.back().get();

        // The caption stays with the block's first line.
        const qreal captionHeight = caption->lineCount() * captionMetrics.lineSpacing();
        const qreal firstHeight = lines.empty() ? 0 : lines.front()->lineCount() * spacing;
        if (!pageEmpty && y + captionHeight + firstHeight > bottom)
            nextPage();
        for (int i = 0; i < caption->lineCount(); ++i)
            place(caption, i, captionMetrics.lineSpacing());

        // A line and its continuations stay on one page, unless they are
        // more than a page can hold.
        for (const QTextLayout *line : lines) {
            if (!pageEmpty && y + line->lineCount() * spacing > bottom)
                nextPage();
            for (int i = 0; i < line->lineCount(); ++i)
                place(line, i, spacing);
        }
    }
    const int pages = page + 1;

    // Then the painting, page by page.
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const QString printedAt = QStringLiteral("인쇄일시 %1").arg(report.printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    QPen rule(Qt::black);
    rule.setWidthF(device.logicalDpiY() / 144.0); // half a point
    auto next = placed.cbegin();
    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !device.newPage())
            return 0;
        drawText(painter, report.title, titleFont, QPointF(0, titleMetrics.ascent()));
        drawText(painter, printedAt, smallFont,
                 QPointF(width - smallMetrics.horizontalAdvance(printedAt), titleMetrics.ascent()));
        painter.setPen(rule);
        const qreal ruleY = titleMetrics.lineSpacing() + captionMetrics.lineSpacing() / 4;
        painter.drawLine(QPointF(0, ruleY), QPointF(width, ruleY));
        painter.setPen(Qt::black);
        // Two blanks each side: with one, pdftotext and PDF readers join "1/2".
        const QString number = QStringLiteral("%1  /  %2").arg(p + 1).arg(pages);
        drawText(painter, number, smallFont,
                 QPointF((width - smallMetrics.horizontalAdvance(number)) / 2, height - smallMetrics.descent()));
        for (; next != placed.cend() && next->page == p; ++next)
            drawWithoutBlanks(painter, next->layout->lineAt(next->line), QPointF(0, next->y));
    }
    return painter.end() ? pages : 0;
}

QString writeReportPdf(const QString &path, const PrintedReport &report)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(PageMarginMillimetres, PageMarginMillimetres, PageMarginMillimetres,
                                                   PageMarginMillimetres),
                                         QPageLayout::Millimeter));
        writer.setTitle(report.title);
        writer.setCreator(QCoreApplication::applicationName());
        if (layOutReport(writer, report) == 0) {
            file.cancelWriting();
            return QStringLiteral("PDF를 만들지 못했습니다.");
        }
    }
    // Qt 6.4's QSaveFile::commit() flushes its last buffered bytes but
    // commits the file even when that write fails (a full disk), so the last
    // write is made and checked here.
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString proposedPdfPath(const QDate &date)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(
        QStringLiteral("%1-%2.pdf").arg(QCoreApplication::applicationName(), date.toString(Qt::ISODate)));
}

QStringList shownLines(const QPlainTextEdit &box)
{
    QStringList lines = box.toPlainText().split(u'\n');
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

namespace {

// The print module beside the program (see PrintModule.h), loaded on first
// use and kept. Null, with the reason in `error`, when it cannot be loaded.
PrintFunction printModule(QString &error)
{
    static PrintFunction function = nullptr;
    if (!function) {
        QLibrary module(QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral(SHEETS_PRINT_MODULE_DIR "/%1/print.so")
                                          .arg(QCoreApplication::applicationName())));
        function = reinterpret_cast<PrintFunction>(module.resolve(PrintFunctionName));
        if (!function)
            error = module.errorString();
    }
    return function;
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

ReportPrinter *addPrintActions(QWidget *form, const QString &title, const QList<MultiLineBox *> &boxes)
{
    return new ReportPrinter(form, title, boxes);
}

} // namespace runtime
