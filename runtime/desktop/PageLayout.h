#pragma once

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QStringList>

class QPagedPaintDevice;

namespace runtime {

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

} // namespace runtime
