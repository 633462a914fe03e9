#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace runtime {

// A caption that wraps onto further lines, between any two characters when a
// word is too long for its width (Korean captions have no blanks to break at).
class Label : public QLabel {
    Q_OBJECT
public:
    Label(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A single-line text box with no length limit.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);
};

// A multi-line text box. Its Text() reads back exactly what the program
// assigned, CRLF included, although the widget itself keeps LF only. Once the
// user edits the box, Text() gives what the box then shows, lines ending in CRLF.
class MultiLineBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MultiLineBox(QWidget *parent = nullptr);

    QString Text() const;
    void setText(const QString &text);

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
protected:
    // Every paste and drop comes here: keys, middle click, context menu.
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
#endif

private:
    QString m_text;  // as the program assigned it
    QString m_shown; // as handed to the widget
};

} // namespace runtime
