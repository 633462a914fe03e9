#include "runtime/forms/Boxes.h"

#include <QMimeData>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <limits>

namespace runtime {

Label::Label(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
}

void Label::paintEvent(QPaintEvent *)
{
    const QRectF area = contentsRect();
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextLayout layout(text(), font());
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(area.width());
    layout.endLayout();

    // Lines closer together than the font's spacing when that is what keeps
    // the last one inside the label.
    const QFontMetricsF metrics(font());
    const int lines = layout.lineCount();
    qreal spacing = metrics.lineSpacing();
    if (lines > 1)
        spacing = qMin(spacing, (area.height() - metrics.height()) / (lines - 1));
    for (int i = 0; i < lines; ++i)
        layout.lineAt(i).setPosition(QPointF(0, i * spacing));

    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    layout.draw(&painter, area.topLeft());
}

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(std::numeric_limits<int>::max());
}

MultiLineBox::MultiLineBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

// Qt 6.4's QWidgetTextControl::insertFromMimeData reads the first of the
// pasted data's formats without checking that there is one, so a paste from a
// clipboard or primary selection that nobody owns (X11 hands over data with no
// formats) ends the program. On X11 the data is read from its owner at each
// question, so an owner that goes away between two questions gives the same
// empty list to a later one. The box therefore reads the text once and
// inserts it itself: a plain-text box takes only text anyway, and Qt's code is
// never handed the data. Qt 6.8 checks the format list itself (the paste test
// passes there without this).
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
bool MultiLineBox::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

void MultiLineBox::insertFromMimeData(const QMimeData *source)
{
    const QString text = source ? source->text() : QString();
    if (text.isEmpty())
        return;
    insertPlainText(text);
    ensureCursorVisible();
}
#endif

QString MultiLineBox::Text() const
{
    const QString shown = toPlainText();
    if (shown == m_shown)
        return m_text;
    return QString(shown).replace(u'\n', QStringLiteral("\r\n"));
}

void MultiLineBox::setText(const QString &text)
{
    m_text = text;
    // A line break is CRLF, or a lone CR or LF.
    m_shown = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    setPlainText(m_shown);
}

} // namespace runtime
