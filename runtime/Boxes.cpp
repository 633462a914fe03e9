#include "runtime/Boxes.h"

#include <QPainter>
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
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.drawText(QRectF(contentsRect()), text(), option);
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
