#include "runtime/desktop/Accessibility.h"

#include <QAccessibleWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QWidget>

#include <algorithm>

namespace runtime {

namespace {

// Every offset where an item of the given kind begins or ends, from 0 to the
// text's length, in increasing order. Lines and paragraphs end after their
// line break; a text without a kind of its own is one item.
QList<int> boundaries(const QString &text, QAccessible::TextBoundaryType type)
{
    const int length = int(text.size());
    QList<int> at{0};
    const auto add = [&](int offset) {
        if (offset > at.last() && offset <= length)
            at.append(offset);
    };
    switch (type) {
    case QAccessible::CharBoundary:
    case QAccessible::WordBoundary:
    case QAccessible::SentenceBoundary: {
        QTextBoundaryFinder finder(type == QAccessible::CharBoundary   ? QTextBoundaryFinder::Grapheme
                                   : type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                                       : QTextBoundaryFinder::Sentence,
                                   text);
        // Each step moves forward or ends the walk, so it ends after at most
        // `length` steps.
        for (qsizetype next = finder.toNextBoundary(); next > at.last(); next = finder.toNextBoundary())
            add(int(next));
        break;
    }
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary:
        for (int i = 0; i < length; ++i) {
            if (text[i] == u'\n')
                add(i + 1);
        }
        break;
    case QAccessible::NoBoundary:
        break;
    }
    add(length);
    return at;
}

enum class Where { Before, At, After };

// The item of `type` before, at or after `offset`, as the text's [start, end).
// At the end of the text the caret stands after the last character, but in
// the last word or sentence, and in the last line unless a line break ends
// the text. Nothing before the first item gives (0, 0), nothing after the
// last (length, length), an offset outside the text (-1, -1).
std::pair<int, int> item(const QString &text, int offset, QAccessible::TextBoundaryType type, Where where)
{
    const int length = int(text.size());
    if (offset < 0 || offset > length)
        return {-1, -1};
    const QList<int> at = boundaries(text, type);
    const int items = int(at.size()) - 1;
    int k = 0;
    const bool lines = type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary;
    if (offset == length)
        k = type == QAccessible::CharBoundary || (lines && text.endsWith(u'\n')) ? items : std::max(items - 1, 0);
    else
        k = int(std::upper_bound(at.begin(), at.end(), offset) - at.begin()) - 1;
    k += where == Where::Before ? -1 : where == Where::After ? 1 : 0;
    if (k < 0 || items == 0)
        return k < 0 ? std::pair(0, 0) : std::pair(length, length);
    if (k >= items)
        return {length, length};
    return {at[k], at[k + 1]};
}

// What both kinds of box share: the text, its items and its one attribute run.
// The widgets themselves send the accessibility events as they change.
class AccessibleBox : public QAccessibleWidget,
                      public QAccessibleTextInterface,
                      public QAccessibleEditableTextInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    // The text as the box shows it.
    virtual QString shown() const = 0;
    virtual bool isReadOnly() const = 0;

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !isReadOnly();
        state.readOnly = isReadOnly();
        state.selectableText = true;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? shown() : QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value)
            replaceText(0, characterCount(), text);
    }

    int characterCount() const override { return int(shown().size()); }
    QString text(int startOffset, int endOffset) const override
    {
        const QString whole = shown();
        if (endOffset == -1)
            endOffset = int(whole.size());
        if (startOffset < 0 || endOffset < startOffset || endOffset > whole.size())
            return QString();
        return whole.mid(startOffset, endOffset - startOffset);
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        return itemText(offset, type, Where::Before, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        return itemText(offset, type, Where::At, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        return itemText(offset, type, Where::After, start, end);
    }

    // The box has one font and one colour: its whole value is one run.
    QString attributes(int offset, int *start, int *end) const override
    {
        const int length = characterCount();
        const bool inside = offset >= 0 && offset <= length;
        *start = inside ? 0 : -1;
        *end = inside ? length : -1;
        return QString();
    }

    int selectionCount() const override
    {
        int start = 0;
        int end = 0;
        selection(0, &start, &end);
        return start < end ? 1 : 0;
    }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { setCursorPosition(cursorPosition()); }

    void deleteText(int startOffset, int endOffset) override { replaceText(startOffset, endOffset, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }

private:
    QString itemText(int offset, QAccessible::TextBoundaryType type, Where where, int *start, int *end) const
    {
        const QString whole = shown();
        // By convention -1 stands for the end of the text and -2 for the caret.
        if (offset == -1)
            offset = int(whole.size());
        else if (offset == -2)
            offset = cursorPosition();
        const auto [from, to] = item(whole, offset, type, where);
        *start = from;
        *end = to;
        return from < 0 ? QString() : whole.mid(from, to - from);
    }
};

class AccessibleLineBox : public AccessibleBox {
public:
    explicit AccessibleLineBox(QLineEdit *box) : AccessibleBox(box, QAccessible::EditableText) {}

    QString shown() const override { return box()->displayText(); }

    bool isReadOnly() const override { return box()->isReadOnly(); }
    QAccessible::State state() const override
    {
        QAccessible::State state = AccessibleBox::state();
        state.passwordEdit = box()->echoMode() != QLineEdit::Normal;
        return state;
    }

    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }

    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && box()->hasSelectedText()) {
            *start = box()->selectionStart();
            *end = *start + int(box()->selectedText().size());
        }
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            box()->setSelection(start, end - start);
    }

    // The box lays its text out on one line: a character's rectangle runs
    // from its left edge to the next character's, measured from the caret,
    // whose place the box knows however far its text is scrolled (the caret
    // line is the middle of the rectangle the box gives for it).
    QRect characterRect(int offset) const override
    {
        const QString whole = shown();
        if (offset < 0 || offset >= whole.size())
            return QRect();
        const QFontMetricsF metrics(box()->font());
        const QRectF caretRect = box()->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
        const QPointF caret(caretRect.center().x(), caretRect.top());
        const qreal origin = caret.x() - metrics.horizontalAdvance(whole.left(box()->cursorPosition()));
        const qreal left = origin + metrics.horizontalAdvance(whole.left(offset));
        const qreal right = origin + metrics.horizontalAdvance(whole.left(offset + 1));
        const QRect local(QPoint(qRound(left), qRound(caret.y())), QSize(qRound(right - left), metrics.height()));
        return QRect(box()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = box()->mapFromGlobal(point);
        return box()->rect().contains(local) ? box()->cursorPositionAt(local) : -1;
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        box()->setCursorPosition(endIndex);
        box()->setCursorPosition(startIndex);
    }

    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        const int start = std::clamp(startOffset, 0, characterCount());
        const int end = std::clamp(endOffset, start, characterCount());
        box()->setCursorPosition(start);
        if (end > start)
            box()->setSelection(start, end - start);
        box()->insert(text);
    }

private:
    QLineEdit *box() const { return static_cast<QLineEdit *>(widget()); }
};

class AccessibleMultiLineBox : public AccessibleBox {
public:
    explicit AccessibleMultiLineBox(QPlainTextEdit *box) : AccessibleBox(box, QAccessible::EditableText) {}

    QString shown() const override { return box()->toPlainText(); }

    bool isReadOnly() const override { return box()->isReadOnly(); }
    QAccessible::State state() const override
    {
        QAccessible::State state = AccessibleBox::state();
        state.multiLine = true;
        return state;
    }

    int cursorPosition() const override { return box()->textCursor().position(); }
    void setCursorPosition(int position) override { box()->setTextCursor(cursorAt(position, position)); }

    void selection(int index, int *start, int *end) const override
    {
        const QTextCursor cursor = box()->textCursor();
        *start = *end = 0;
        if (index == 0 && cursor.hasSelection()) {
            *start = cursor.selectionStart();
            *end = cursor.selectionEnd();
        }
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            box()->setTextCursor(cursorAt(start, end));
    }

    QRect characterRect(int offset) const override
    {
        if (offset < 0 || offset >= characterCount())
            return QRect();
        const QRect left = box()->cursorRect(cursorAt(offset, offset));
        const QRect right = box()->cursorRect(cursorAt(offset + 1, offset + 1));
        const int width = right.top() == left.top() ? right.left() - left.left() : box()->fontMetrics().averageCharWidth();
        return QRect(box()->viewport()->mapToGlobal(left.topLeft()), QSize(width, left.height()));
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = box()->viewport()->mapFromGlobal(point);
        return box()->viewport()->rect().contains(local) ? box()->cursorForPosition(local).position() : -1;
    }
    void scrollToSubstring(int startIndex, int) override { box()->setTextCursor(cursorAt(startIndex, startIndex)); }

    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        QTextCursor cursor = cursorAt(startOffset, endOffset);
        cursor.insertText(text);
    }

private:
    QPlainTextEdit *box() const { return static_cast<QPlainTextEdit *>(widget()); }

    // A cursor selecting [anchor, position) of the document, each clamped to it.
    QTextCursor cursorAt(int anchor, int position) const
    {
        QTextCursor cursor(box()->document());
        const int last = characterCount();
        cursor.setPosition(std::clamp(anchor, 0, last));
        cursor.setPosition(std::clamp(position, 0, last), QTextCursor::KeepAnchor);
        return cursor;
    }
};

QAccessibleInterface *boxInterface(const QString &, QObject *object)
{
    if (auto *box = qobject_cast<QLineEdit *>(object))
        return new AccessibleLineBox(box);
    if (auto *box = qobject_cast<QPlainTextEdit *>(object))
        return new AccessibleMultiLineBox(box);
    return nullptr;
}

} // namespace

void installAccessibleBoxes()
{
    // Factories installed later are asked first, so this one comes before
    // Qt's own, which QApplication installs when it is created.
    QAccessible::installFactory(boxInterface);
}

} // namespace runtime
