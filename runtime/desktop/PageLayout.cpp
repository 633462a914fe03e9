#include "runtime/desktop/PageLayout.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPagedPaintDevice>
#include <QPainter>
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

// The fonts of a page's title, captions and small print (the time and the
// page number), with their metrics on the device.
struct PageFonts {
    PageFonts(const QFont &heading, QPaintDevice *device)
        : title(sized(heading, 14, true)), caption(sized(heading, 10.5, true)), small(sized(heading, 9)),
          titleMetrics(title, device), captionMetrics(caption, device), smallMetrics(small, device)
    {
    }
    QFont title, caption, small;
    QFontMetricsF titleMetrics, captionMetrics, smallMetrics;

    // Where the report's lines begin below the title, and where they end
    // above the page number.
    qreal top() const { return titleMetrics.lineSpacing() + captionMetrics.lineSpacing(); }
    qreal bottom(qreal height) const { return height - 2 * smallMetrics.lineSpacing(); }
};

// Every visual line of the report with its page and its height on it, and the
// layouts they are lines of.
struct Placement {
    struct Placed {
        int page;
        qreal y;
        const QTextLayout *layout;
        int line;
    };
    std::vector<std::unique_ptr<QTextLayout>> layouts;
    std::vector<Placed> lines;
    int pages = 0;
};

// The places: each block's caption with its first line, then its lines, a
// line and its continuations on one page unless they are more than a page
// holds, pages breaking only between lines.
Placement placeLines(const PrintedReport &report, const PageFonts &fonts, qreal width, qreal height,
                     QPaintDevice *device)
{
    const QFontMetricsF &captionMetrics = fonts.captionMetrics;
    const qreal top = fonts.top();
    const qreal bottom = fonts.bottom(height);
    Placement placement;
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
        placement.lines.push_back({page, y, layout, line});
        y += spacing;
        pageEmpty = false;
    };

    for (const PrintedReport::Block &block : report.blocks) {
        if (!pageEmpty)
            y += captionMetrics.lineSpacing() / 2;
        const QFont font = sized(block.font, fittingPointSize(block, width, device));
        const QFontMetricsF metrics(font, device);
        // A fifth more than the screen's spacing: the syllables of adjacent lines
        // nearly touch on paper otherwise.
        const qreal spacing = metrics.lineSpacing() * 1.2;
        const qreal indent = metrics.horizontalAdvance(QString(4, u' '));

        std::vector<const QTextLayout *> lines;
        for (const QString &text : block.lines) {
            placement.layouts.push_back(wrapped(text, font, width, indent, device));
            lines.push_back(placement.layouts.back().get());
        }
        placement.layouts.push_back(wrapped(block.caption, fonts.caption, width, 0, device));
        const QTextLayout *caption = placement.layouts.back().get();

        // The caption stays with the block's first line.
        const qreal captionHeight = caption->lineCount() * captionMetrics.lineSpacing();
        const qreal firstHeight = lines.empty() ? 0 : lines.front()->lineCount() * spacing;
        if (!pageEmpty && y + captionHeight + firstHeight > bottom)
            nextPage();
        for (int i = 0; i < caption->lineCount(); ++i)
            place(caption, i, captionMetrics.lineSpacing());

        for (const QTextLayout *line : lines) {
            if (!pageEmpty && y + line->lineCount() * spacing > bottom)
                nextPage();
            for (int i = 0; i < line->lineCount(); ++i)
                place(line, i, spacing);
        }
    }
    placement.pages = page + 1;
    return placement;
}

// The painting, page by page: the title, the time of printing and a rule at
// the top, the page number at the foot, and the lines where they were placed.
bool paintPages(QPagedPaintDevice &device, const PrintedReport &report, const PageFonts &fonts,
                const Placement &placement)
{
    const qreal width = device.width();
    const qreal height = device.height();
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QString printedAt = QStringLiteral("인쇄일시 %1").arg(report.printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    QPen rule(Qt::black);
    rule.setWidthF(device.logicalDpiY() / 144.0); // half a point
    auto next = placement.lines.cbegin();
    for (int p = 0; p < placement.pages; ++p) {
        if (p > 0 && !device.newPage())
            return false;
        drawText(painter, report.title, fonts.title, QPointF(0, fonts.titleMetrics.ascent()));
        drawText(painter, printedAt, fonts.small,
                 QPointF(width - fonts.smallMetrics.horizontalAdvance(printedAt), fonts.titleMetrics.ascent()));
        painter.setPen(rule);
        const qreal ruleY = fonts.titleMetrics.lineSpacing() + fonts.captionMetrics.lineSpacing() / 4;
        painter.drawLine(QPointF(0, ruleY), QPointF(width, ruleY));
        painter.setPen(Qt::black);
        // Two blanks each side: with one, pdftotext and PDF readers join "1/2".
        const QString number = QStringLiteral("%1  /  %2").arg(p + 1).arg(placement.pages);
        drawText(painter, number, fonts.small,
                 QPointF((width - fonts.smallMetrics.horizontalAdvance(number)) / 2, height - fonts.smallMetrics.descent()));
        for (; next != placement.lines.cend() && next->page == p; ++next)
            drawWithoutBlanks(painter, next->layout->lineAt(next->line), QPointF(0, next->y));
    }
    return painter.end();
}

} // namespace

int layOutReport(QPagedPaintDevice &device, const PrintedReport &report)
{
    const PageFonts fonts(report.headingFont, &device);
    const Placement placement = placeLines(report, fonts, device.width(), device.height(), &device);
    return paintPages(device, report, fonts, placement) ? placement.pages : 0;
}

} // namespace runtime
