// The runtime's widgets: multi-line boxes, fonts, loading forms, the error guard.
#include "FormDriver.h"
#include "Pdf.h"
#include "runtime/desktop/Accessibility.h"
#include "runtime/forms/Boxes.h"
#include "runtime/forms/Fonts.h"
#include "runtime/forms/Forms.h"
#include "runtime/rules/Numbers.h"
#include "runtime/desktop/PrintActions.h"
#include "runtime/desktop/PdfWriter.h"
#include "runtime/desktop/platform/Composition.h"

#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif
#include "runtime/desktop/platform/Platform.h"
#ifdef Q_OS_WIN
#include <windows.h>
#include <imm.h>
#endif

using namespace runtime;

namespace {

// A form that counts its loads and writes the count into its box.
class CountingForm : public LoadableForm {
public:
    CountingForm()
    {
        setObjectName(QStringLiteral("CountingForm"));
        box = new MultiLineBox(this);
    }
    int loads = 0;
    bool failWhileLoading = false;
    MultiLineBox *box;

protected:
    void Form_Load() override
    {
        ++loads;
        box->setText(QStringLiteral("load %1\r\n").arg(loads));
        if (failWhileLoading)
            throw RuntimeError(RuntimeError::Kind::Overflow);
        box->setText(box->Text() + QStringLiteral("done\r\n"));
    }
};

// A report form of two boxes that prints them.
class PrintingForm : public QWidget {
public:
    PrintingForm()
    {
        setObjectName(QStringLiteral("PrintingForm"));
        first = addReportBox(this, "Text1", QStringLiteral("첫째"), QRect(0, 0, 3000, 1500));
        second = addReportBox(this, "Text2", QStringLiteral("둘째"), QRect(0, 1500, 3000, 1500));
        first->setText(QStringLiteral("  가나 1\r\n\r\n  다라 2\r\n"));
        printer = addPrintActions(this, QStringLiteral("제목"), {first, second});
    }
    MultiLineBox *first, *second;
    ReportPrinter *printer;
};

// The report laid out in a PDF: the captioned block `lines` in the report
// font, under the title "제목".
QString printLines(const QString &path, const QStringList &lines)
{
    return writeReportPdf(path, {QStringLiteral("제목"), QDateTime(QDate(2026, 12, 7), QTime(9, 5)), formFont(),
                                 {{QStringLiteral("자료"), lines, reportFont()}}});
}

QString withoutBlanks(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

// Runs `action`, and closes the first menu it opens; returns what the menu
// held: each entry's action, its object name, and whether it is a separator.
struct MenuEntry {
    QAction *action;
    QString name;
    bool separator;
    bool enabled;
};
QList<MenuEntry> menuOpenedBy(const std::function<void()> &action)
{
    QList<MenuEntry> entries;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *entry : menu->actions())
                entries.append({entry, entry->objectName(), entry->isSeparator(), entry->isEnabled()});
            menu->close();
        }
    });
    poll.start(0);
    action();
    return entries;
}

} // namespace

class FormsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setApplicationName(QStringLiteral("formstest"));
        installAccessibleBoxes();
        runtime::platform::prepareInputMethods();
    }

    // What a screen reader asks of a box: the item of every boundary kind
    // before, at and after every offset. Each answer must come at once (a hang
    // is caught by Qt Test's watchdog, QTEST_FUNCTION_TIMEOUT), be the text
    // between the offsets it gives, hold the offset, never split a surrogate
    // pair, and meet its neighbours; the whole value is one attribute run.
    void boxesAnswerEveryBoundaryAtEveryOffset_data()
    {
        QTest::addColumn<bool>("multiLine");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("wordAtEnd");
        QTest::addColumn<QString>("lineAtEnd");
        QTest::newRow("empty") << false << "" << "" << "";
        QTest::newRow("digits") << false << "12" << "12" << "12";
        QTest::newRow("blanks") << false << "  " << "  " << "  ";
        QTest::newRow("Hangul words") << false << "가나 다" << "다" << "가나 다";
        QTest::newRow("emoji") << false << "x\U0001F600y \U0001F600" << "\U0001F600" << "x\U0001F600y \U0001F600";
        QTest::newRow("sentences") << false << "Hello world. Next one" << "one" << "Hello world. Next one";
        QTest::newRow("report lines") << true << "  비번호 : 10\r\n\r\n      1      일    반      89,750    우수\r\n"
                                      << "\n" << "";
        QTest::newRow("last line open") << true << "a\nb c" << "c" << "b c";
        QTest::newRow("empty report") << true << "" << "" << "";
    }
    void boxesAnswerEveryBoundaryAtEveryOffset()
    {
        QFETCH(bool, multiLine);
        QFETCH(QString, text);
        QFETCH(QString, wordAtEnd);
        QFETCH(QString, lineAtEnd);
        MultiLineBox lines;
        TextBox line;
        QWidget *box = multiLine ? static_cast<QWidget *>(&lines) : &line;
        multiLine ? lines.setText(text) : line.setText(text);
        const QString shown = multiLine ? lines.toPlainText() : line.text();
        const int length = int(shown.size());

        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
        QVERIFY(accessible && accessible->textInterface() && accessible->editableTextInterface());
        QAccessibleTextInterface *t = accessible->textInterface();
        QCOMPARE(accessible->text(QAccessible::Value), shown);
        QCOMPARE(t->characterCount(), length);
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QVERIFY(accessible->state().editable && !accessible->state().readOnly);
        QCOMPARE(bool(accessible->state().multiLine), multiLine);

        using Query = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int *, int *) const;
        const auto ask = [&](Query query, int offset, QAccessible::TextBoundaryType type) {
            int start = -9;
            int end = -9;
            const QString item = (t->*query)(offset, type, &start, &end);
            const bool inside = 0 <= start && start <= end && end <= length;
            const bool whole = [&](int at) { return at == length || !shown[at].isLowSurrogate(); }(start)
                && (end == length || !shown[end].isLowSurrogate());
            if (!inside || !whole || item != shown.mid(start, end - start))
                qWarning() << "offset" << offset << "boundary" << type << "gives" << item << start << end;
            return inside && whole && item == shown.mid(start, end - start) ? std::pair(start, end) : std::pair(-1, -1);
        };
        const QAccessible::TextBoundaryType types[] = {QAccessible::CharBoundary, QAccessible::WordBoundary,
                                                       QAccessible::SentenceBoundary, QAccessible::ParagraphBoundary,
                                                       QAccessible::LineBoundary, QAccessible::NoBoundary};
        for (QAccessible::TextBoundaryType type : types) {
            QString walked;
            for (int offset = 0; offset <= length; ++offset) {
                const auto [start, end] = ask(&QAccessibleTextInterface::textAtOffset, offset, type);
                const auto before = ask(&QAccessibleTextInterface::textBeforeOffset, offset, type);
                const auto after = ask(&QAccessibleTextInterface::textAfterOffset, offset, type);
                QVERIFY(start >= 0 && before.first >= 0 && after.first >= 0);
                if (offset < length)
                    QVERIFY(start <= offset && offset < end);
                else
                    QCOMPARE(end, length);
                QCOMPARE(before.second, start > 0 ? start : 0);
                QCOMPARE(after.first, end < length ? end : length);
                QVERIFY(before.first < before.second || start == 0);
                QVERIFY(after.first < after.second || end == length);
                if (offset < length && offset == walked.size())
                    walked += shown.mid(start, end - start);
            }
            QCOMPARE(walked, shown);
        }
        int start = -9;
        int end = -9;
        QCOMPARE(t->textAtOffset(length, QAccessible::CharBoundary, &start, &end), QString());
        QCOMPARE(t->textAtOffset(length, QAccessible::WordBoundary, &start, &end), wordAtEnd);
        QCOMPARE(t->textAtOffset(-1, QAccessible::LineBoundary, &start, &end), lineAtEnd);
        for (int offset = 0; offset <= length; ++offset) {
            t->attributes(offset, &start, &end);
            QCOMPARE(std::pair(start, end), std::pair(0, length));
        }

        // Each character's rectangle leads back to it, and the selection and
        // caret set through the interface are the box's own.
        box->resize(700, 200);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        for (int offset = 0; offset < length; ++offset) {
            if (shown[offset].isLowSurrogate())
                continue;
            const QRect rect = t->characterRect(offset);
            QVERIFY2(rect.isValid(), qPrintable(QString::number(offset)));
            QCOMPARE(t->offsetAtPoint(QPoint(rect.left() + rect.width() / 4, rect.center().y())), offset);
        }
        if (length > 1) {
            t->setSelection(0, 1, length);
            QCOMPARE(t->selectionCount(), 1);
            t->selection(0, &start, &end);
            QCOMPARE(std::pair(start, end), std::pair(1, length));
            t->removeSelection(0);
            QCOMPARE(t->selectionCount(), 0);
        }
        t->setCursorPosition(length);
        QCOMPARE(t->cursorPosition(), length);
        QCOMPARE(t->textAtOffset(-2, QAccessible::LineBoundary, &start, &end), lineAtEnd);

        // Editing through the interface changes the box as typing would.
        QAccessibleEditableTextInterface *edit = accessible->editableTextInterface();
        edit->replaceText(0, length, QStringLiteral("12"));
        edit->insertText(1, QStringLiteral("가"));
        edit->deleteText(0, 1);
        QCOMPARE(accessible->text(QAccessible::Value), QStringLiteral("가2"));
    }

    void multiLineBoxReadsBackWhatWasAssigned()
    {
        MultiLineBox box;
        const QString text = QStringLiteral("  heading\r\n\r\nline\r\n");
        box.setText(text);
        QCOMPARE(box.Text(), text);
        QCOMPARE(box.toPlainText(), QStringLiteral("  heading\n\nline\n"));
        box.setText(QStringLiteral("a\rb"));
        QCOMPARE(box.Text(), QStringLiteral("a\rb"));
        QCOMPARE(box.toPlainText(), QStringLiteral("a\nb"));

        // Once the user types, the box reads back what it shows, in CRLF lines.
        box.setText(QStringLiteral("x\r\n"));
        box.show();
        box.moveCursor(QTextCursor::End);
        QTest::keyClicks(&box, QStringLiteral("y"));
        QCOMPARE(box.Text(), QStringLiteral("x\r\ny"));
    }

    void textBoxHasNoLengthLimit()
    {
        TextBox box;
        const QString page(100000, u'9');
        box.setText(page);
        QCOMPARE(box.text().size(), page.size());
    }

    // Hangul arrives from an input method (fcitx5, ibus) as preedit text that
    // is replaced by the committed syllable.
    void textBoxTakesCommittedHangul()
    {
        TextBox box;
        box.show();
        QVERIFY(box.testAttribute(Qt::WA_InputMethodEnabled));
        const QPair<QString, QString> keystrokes[] = {{"ㅎ", ""}, {"하", ""}, {"한", ""}, {"", "한"}, {"ㄱ", ""}, {"그", ""}, {"", "글"}};
        for (const auto &[preedit, commit] : keystrokes) {
            QInputMethodEvent event(preedit, {});
            event.setCommitString(commit);
            QApplication::sendEvent(&box, &event);
        }
        QCOMPARE(box.text(), QStringLiteral("한글"));
        QCOMPARE(box.inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("한글"));
    }

    // A Windows input method's messages, one per word: "가|나" brings a result
    // and the next syllable, "가|" a result, "|가" a syllable; "end" ends the
    // composition; "tab" and "click" (on a button that reads the box) leave
    // the box while composing. "~안" has the window's own input method
    // compose, through the programs' handling of its messages (Windows).
    void compositionReachesTheBox_data()
    {
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cancels");
        QTest::newRow("consonant handed on") << "|가 |간 가|나 |낟 나|다 다| end" << "가나다" << 0;
        QTest::newRow("result ends, next begins") << "|아 |안 안| end |ㄴ |녀 |녕 녕| end" << "안녕" << 0;
        QTest::newRow("backspace to nothing") << "|가 |간 |가 |ㄱ | end" << "" << 0;
        QTest::newRow("tab while composing") << "|가 가|나 tab" << "가나" << 1;
        QTest::newRow("click while composing") << "|안 안|ㄴ |녀 click" << "안녀" << 1;
#ifdef Q_OS_WIN
        QTest::newRow("click while the window composes") << "~안 click" << "안" << 0;
#endif
    }
    void compositionReachesTheBox()
    {
        QFETCH(QString, messages);
        QFETCH(QString, text);
        int cancels = 0;
        runtime::platform::Composition composition([&] { ++cancels; });
        QWidget form;
        auto *box = new TextBox(&form);
        auto *button = new QPushButton(&form);
        button->move(0, 40);
        QString clicked;
        QObject::connect(button, &QPushButton::clicked, [&] { clicked = box->text(); });
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        box->setFocus();
        for (const QString &message : messages.split(u' ')) {
            const qsizetype bar = message.indexOf(u'|');
            if (message == u"end")
                composition.end();
            else if (message == u"tab" || message == u"click")
                message == u"tab" ? QTest::keyClick(box, Qt::Key_Tab) : QTest::mouseClick(button, Qt::LeftButton);
#ifdef Q_OS_WIN
            else if (std::wstring syllable = message.mid(1).toStdWString(); message.startsWith(u'~'))
                QVERIFY(ImmSetCompositionStringW(ImmGetContext(HWND(form.winId())), SCS_SETSTR, syllable.data(),
                                                 DWORD(syllable.size() * 2), nullptr, 0));
#endif
            else
                composition.update(box, bar > 0 ? std::optional(message.left(bar)) : std::nullopt,
                                   bar + 1 < message.size() ? std::optional(message.mid(bar + 1)) : std::nullopt);
        }
        QCOMPARE(box->text(), text);
        QTEST(cancels, "cancels");
        if (messages.endsWith(u"click"))
            QCOMPARE(clicked, text);
#ifdef Q_OS_WIN // the input method dropped what was committed
        QCOMPARE(ImmGetCompositionStringW(ImmGetContext(HWND(form.winId())), GCS_COMPSTR, nullptr, 0), 0);
#endif
    }

    void reportFontIsFixedPitchKorean()
    {
        const QFont font = reportFont();
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("NanumGothicCoding"));
        const QFontMetricsF metrics(font);
        const qreal column = metrics.horizontalAdvance(QLatin1Char('0'));
        QVERIFY(column > 0);
        for (const QString &text : {QStringLiteral(" "), QStringLiteral(","), QStringLiteral("Y"), QStringLiteral(":")})
            QCOMPARE(metrics.horizontalAdvance(text), column);
        for (const QString &syllable : {QStringLiteral("가"), QStringLiteral("반"), QStringLiteral("프"), QStringLiteral("밀")})
            QCOMPARE(metrics.horizontalAdvance(syllable), 2 * column);
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("일    반")), 8 * column);
    }

    void formFontIsKorean()
    {
        const QFont font = formFont();
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("NanumGothic"));
        QVERIFY(QFontMetricsF(font).inFontUcs4(U'출'));
        QCOMPARE(font.pointSizeF(), 11.25);
    }

    void twipsToPixels()
    {
        QCOMPARE(pixels(QRect(2400, 360, 1815, 375)), QRect(160, 24, 121, 25));
        QCOMPARE(pixels(5175), 345);
        QCOMPARE(pixels(7), 0);
        QCOMPARE(pixels(8), 1);
    }

    void modelessFormLoadsOnceUntilClosed()
    {
        CountingForm form;
        ShowForm(form, Modality::Modeless);
        QVERIFY(form.isVisible());
        QCOMPARE(form.loads, 1);
        ShowForm(form, Modality::Modeless); // already loaded: only brought forward
        QCOMPARE(form.loads, 1);
        QCOMPARE(form.box->Text(), QStringLiteral("load 1\r\ndone\r\n"));

        form.close(); // unloads: boxes emptied
        QVERIFY(!form.isLoaded());
        QCOMPARE(form.box->Text(), QString());
        ShowForm(form, Modality::Modeless);
        QCOMPARE(form.loads, 2);
        QCOMPARE(form.box->Text(), QStringLiteral("load 2\r\ndone\r\n"));
        form.close();
    }

    void modalFormReturnsWhenClosed()
    {
        CountingForm form;
        QString seen;
        driver::attend([&] { ShowForm(form, Modality::Modal); }, QStringLiteral("CountingForm"),
                       [&](QWidget *) { seen = form.box->Text(); });
        QCOMPARE(seen, QStringLiteral("load 1\r\ndone\r\n"));
        QVERIFY(!form.isVisible());
        QVERIFY(!form.isLoaded());
    }

    void errorWhileLoadingIsShownAndKeepsWhatWasWritten()
    {
        CountingForm form;
        form.failWhileLoading = true;
        const driver::Shown shown = driver::attend([&] { ShowForm(form, Modality::Modeless); });
        QVERIFY(shown.seen);
        QCOMPARE(shown.title, QStringLiteral("formstest"));
        QCOMPARE(shown.text, RuntimeError(RuntimeError::Kind::Overflow).description());
        QVERIFY(form.isVisible());
        QCOMPARE(form.box->Text(), QStringLiteral("load 1\r\n"));
        form.close();
    }

    void guardShowsEveryKindOfError_data()
    {
        QTest::addColumn<RuntimeError::Kind>("kind");
        QTest::newRow("overflow") << RuntimeError::Kind::Overflow;
        QTest::newRow("subscript") << RuntimeError::Kind::SubscriptOutOfRange;
        QTest::newRow("type mismatch") << RuntimeError::Kind::TypeMismatch;
        QTest::newRow("invalid argument") << RuntimeError::Kind::InvalidArgument;
    }
    void guardShowsEveryKindOfError()
    {
        QFETCH(RuntimeError::Kind, kind);
        QWidget owner;
        bool after = false;
        const driver::Shown shown = driver::attend([&] {
            guard(&owner, [&] {
                throw RuntimeError(kind);
                after = true;
            });
        });
        QVERIFY(!after);
        QVERIFY(shown.seen);
        QCOMPARE(shown.title, QStringLiteral("formstest"));
        QVERIFY(!shown.text.isEmpty());
        QCOMPARE(shown.text, RuntimeError(kind).description());
    }

    void messageBoxHasNoIconAndOneButton()
    {
        QWidget owner;
        const driver::Shown shown =
            driver::attend([&] { ShowMessage(&owner, QStringLiteral("프롬프트"), QStringLiteral("제목")); });
        QVERIFY(shown.seen);
        QCOMPARE(shown.title, QStringLiteral("제목"));
        QCOMPARE(shown.text, QStringLiteral("프롬프트"));
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
        QCOMPARE(shown.buttons, 1);
    }

    // The page layout fed lines directly: a line that fits once smaller
    // stays one line, a line too long even so wraps with its continuation
    // indented, and more lines than a page holds go on a second page, breaking
    // between lines. No character is lost, and every page is numbered.
    void pageLayout_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("wraps");
        auto numbered = [](int count) {
            QStringList lines;
            for (int i = 1; i <= count; ++i)
                lines << QStringLiteral("  %1번째 줄 %2").arg(i, 3, 10, QLatin1Char('0')).arg(QString(i % 7, u'*'));
            return lines;
        };
        QStringList words;
        for (int i = 1; i <= 150; ++i)
            words << QStringLiteral("w%1").arg(i, 3, 10, QLatin1Char('0'));
        const QString wide = words.join(u' ');
        QTest::newRow("fits when smaller") << QStringList{QString(60, u'가') + QStringLiteral("끝")} << 1 << false;
        QTest::newRow("wider than the page") << QStringList{QStringLiteral("앞"), wide, QStringLiteral("뒤")} << 1 << true;
        QTest::newRow("more than a page") << numbered(80) << 2 << false;
        QTest::newRow("both") << (numbered(160).mid(0, 85) + QStringList{wide} + numbered(160).mid(85)) << 2 << true;
    }
    void pageLayout()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, pages);
        QFETCH(bool, wraps);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("lines.pdf"));
        QCOMPARE(printLines(path, lines), QString());
        SKIP_READING_PDF_ON_WINDOWS();
        QCOMPARE(pdf::info(path, QStringLiteral("Pages")), QString::number(pages));

        // Each page: the heading, the caption on the first, the lines, and
        // "n / m" at its foot.
        QStringList onPaper;
        QList<int> pageOf;
        const QStringList texts = pdf::pages(path);
        QCOMPARE(texts.size(), pages);
        for (int page = 0; page < pages; ++page) {
            QStringList rows = texts[page].split(u'\n');
            rows.removeIf([](const QString &row) { return row.trimmed().isEmpty(); });
            QCOMPARE(withoutBlanks(rows.takeFirst()), QStringLiteral("제목인쇄일시2026-12-0709:05"));
            QCOMPARE(withoutBlanks(rows.takeLast()), QStringLiteral("%1/%2").arg(page + 1).arg(pages));
            if (page == 0)
                QCOMPARE(rows.takeFirst().trimmed(), QStringLiteral("자료"));
            onPaper += rows;
            pageOf += QList<int>(rows.size(), page);
        }
        // Line by line in order, every row on paper accounted for; a wrapped
        // line's continuations are indented and on its page.
        int row = 0;
        int continuations = 0;
        for (const QString &line : lines) {
            QVERIFY2(row < onPaper.size(), qPrintable(QStringLiteral("missing: ") + line));
            const int first = row;
            const qsizetype indent = onPaper[row].indexOf(QRegularExpression(QStringLiteral("\\S")));
            QString joined = onPaper[row++];
            while (withoutBlanks(joined) != withoutBlanks(line) && row < onPaper.size()
                   && withoutBlanks(line).startsWith(withoutBlanks(joined + onPaper[row]))) {
                QVERIFY(onPaper[row].indexOf(QRegularExpression(QStringLiteral("\\S"))) > indent);
                QCOMPARE(pageOf[row], pageOf[first]);
                joined += onPaper[row++];
                ++continuations;
            }
            QCOMPARE(withoutBlanks(joined), withoutBlanks(line));
        }
        QCOMPARE(row, onPaper.size());
        QCOMPARE(continuations > 0, wraps);
    }

    // A file that cannot be written: a message names it and the reason, and
    // the folder keeps exactly what it held, an older file included.
    void unwritablePdf_data()
    {
        QTest::addColumn<QString>("name"); // in a fresh folder
        QTest::addColumn<QString>("setUp");
        QTest::newRow("a folder") << "report.pdf" << "folder";
        QTest::newRow("in a missing folder") << "missing/report.pdf" << "";
        QTest::newRow("below a file") << "notes.txt/report.pdf" << "file notes.txt";
        QTest::newRow("disk full") << "report.pdf" << "full";
        QTest::newRow("disk full, over an older file") << "report.pdf" << "full old";
        QTest::newRow("a folder no one may write into") << "/proc/report.pdf" << "";
    }
    void unwritablePdf()
    {
        QFETCH(QString, name);
        QFETCH(QString, setUp);
        QTemporaryDir folder;
        QDir dir(folder.path());
        const QString path = dir.filePath(name);
        if (setUp == QLatin1String("folder"))
            QVERIFY(dir.mkdir(name));
        if (setUp.startsWith(QLatin1String("file")) || setUp.endsWith(QLatin1String("old"))) {
            QFile file(dir.filePath(setUp.startsWith(QLatin1String("file")) ? QStringLiteral("notes.txt") : name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old");
        }
        const QStringList before = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

#ifdef Q_OS_UNIX
        // A full disk, as a file size limit: writes past it fail with EFBIG.
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit unlimited = limit;
        const bool full = setUp.startsWith(QLatin1String("full"));
        auto restore = qScopeGuard([&] {
            setrlimit(RLIMIT_FSIZE, &unlimited);
            std::signal(SIGXFSZ, SIG_DFL);
        });
        PrintingForm form;
        bool written = true;
        const driver::Shown shown = driver::attend([&] {
            if (full) {
                std::signal(SIGXFSZ, SIG_IGN);
                limit.rlim_cur = 4096;
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            written = form.printer->writePdf(path);
            restore.dismiss();
            setrlimit(RLIMIT_FSIZE, &unlimited);
            std::signal(SIGXFSZ, SIG_DFL);
        });
#else
        if (setUp.startsWith(QLatin1String("full")) || name.startsWith(u'/'))
            QSKIP("a full disk is a file size limit (setrlimit), and /proc a Linux folder");
        PrintingForm form;
        bool written = true;
        const driver::Shown shown = driver::attend([&] { written = form.printer->writePdf(path); });
#endif
        QVERIFY(!written);
        QCOMPARE(shown.count, 1);
        QCOMPARE(shown.title, QStringLiteral("formstest"));
        const QStringList message = shown.text.split(u'\n');
        QCOMPARE(message.size(), 3);
        QCOMPARE(message[0], QStringLiteral("PDF 파일을 저장하지 못했습니다."));
        QCOMPARE(message[1], QDir::toNativeSeparators(path));
        QVERIFY(!message[2].trimmed().isEmpty());
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
        if (setUp.endsWith(QLatin1String("old"))) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("old"));
        }
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/report.pdf")));
    }

    // The three entries follow Qt's own in each box's context menu, whichever way
    // it opens: the right button, the Menu key (the platform sends a context
    // menu event for it, as X11 does), or Shift+F10. With nothing copied, Qt's
    // paste entry is there but cannot be chosen.
    void contextMenu_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("how");
        for (const char *box : {"Text1", "Text2"}) {
            for (const char *how : {"right button", "Menu key", "Shift+F10"})
                QTest::addRow("%s, %s", box, how) << box << how;
        }
    }
    void contextMenu()
    {
        QFETCH(QString, box);
        QFETCH(QString, how);
        PrintingForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *edit = driver::child<MultiLineBox>(&form, qPrintable(box));
        edit->setFocus();
        driver::copy(QString());
        const QList<MenuEntry> entries = menuOpenedBy([&] {
            if (how == QLatin1String("right button")) {
                QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), edit->viewport()->mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(edit->viewport(), &click);
            } else if (how == QLatin1String("Menu key")) {
                QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), form.mapToGlobal(QPoint()));
                QApplication::sendEvent(form.windowHandle(), &key);
            } else {
                QTest::keyClick(edit, Qt::Key_F10, Qt::ShiftModifier);
            }
        });
        QVERIFY(entries.size() > 3);
        QCOMPARE(entries.first().name, QStringLiteral("edit-undo")); // Qt's own come first
        const auto paste = std::find_if(entries.begin(), entries.end(), [](const MenuEntry &entry) { return entry.name == QLatin1String("edit-paste"); });
        QVERIFY(paste != entries.end() && !paste->enabled);
        QVERIFY(entries[entries.size() - 4].separator);
        QCOMPARE(entries[entries.size() - 3].action, form.printer->printAction());
        QCOMPARE(entries[entries.size() - 2].action, form.printer->savePdfAction());
        QCOMPARE(entries.last().action, form.printer->copyTableAction());
        QCOMPARE(form.printer->printAction()->text(), QStringLiteral("인쇄..."));
        QCOMPARE(form.printer->savePdfAction()->text(), QStringLiteral("PDF로 저장..."));
        QCOMPARE(form.printer->copyTableAction()->text(), QStringLiteral("표로 복사"));
    }

    // "표로 복사" copies the table it was given, not the boxes: as HTML, each
    // cell escaped, and as tab-separated lines in which a cell's tab or line
    // break is a blank.
    void copiesTheTable()
    {
        PrintingForm form;
        form.printer->setTable({{"번호", "<이름>"}, {{"1", "a\tb & c\n"}, {"2", ""}}});
        form.printer->copyTableAction()->trigger();
        const QMimeData *copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->text(), QStringLiteral("번호\t<이름>\n1\ta b & c \n2\t\n"));
        QCOMPARE(copied->html(), QStringLiteral("<html><head><meta charset=\"utf-8\"><style>td, th { white-space: pre }</style></head>"
                                                "<body>\n<table>\n<tr><th>번호</th><th>&lt;이름&gt;</th></tr>\n"
                                                "<tr><td>1</td><td>a\tb &amp; c\n</td></tr>\n<tr><td>2</td><td></td></tr>\n</table>\n</body></html>\n"));
    }

    // A selection owner that offers text and is gone when asked again (X11
    // asks the owner at each question): the paste inserts what the first
    // answer held, or nothing, and never hands Qt data with no format.
    void pasteFromAnOwnerThatGoes()
    {
        struct Vanishing : QMimeData {
            mutable int asked = 0;
            QStringList formats() const override { return ++asked == 1 ? QStringList{"text/plain"} : QStringList(); }
        };
        MultiLineBox box;
        box.setText(QStringLiteral("보고서"));
        box.show();
        QApplication::clipboard()->setMimeData(new Vanishing);
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.Text(), QStringLiteral("보고서"));
    }

    // What is printed is what the boxes show: their lines, blanks kept, the
    // empty line after the last line break left out, in each box's own font.
    void printsWhatTheBoxesShow()
    {
        PrintingForm form;
        form.second->setFont(reportFont());
        form.second->setText(QStringLiteral("x"));
        form.second->moveCursor(QTextCursor::End);
        form.second->show();
        QTest::keyClicks(form.second, QStringLiteral(" y"));
        const QDateTime at(QDate(2026, 12, 7), QTime(9, 5));
        const PrintedReport report = form.printer->report(at);
        QCOMPARE(report.title, QStringLiteral("제목"));
        QCOMPARE(report.printedAt, at);
        QCOMPARE(report.blocks.size(), 2);
        QCOMPARE(report.blocks[0].caption, QStringLiteral("첫째"));
        QCOMPARE(report.blocks[0].lines, (QStringList{QStringLiteral("  가나 1"), QString(), QStringLiteral("  다라 2")}));
        QCOMPARE(report.blocks[1].caption, QStringLiteral("둘째"));
        QCOMPARE(report.blocks[1].lines, QStringList{QStringLiteral("x y")});
        QCOMPARE(QFontInfo(report.blocks[1].font).family(), QStringLiteral("NanumGothicCoding"));
    }
};

QTEST_MAIN(FormsTest)
#include "test_runtime_forms.moc"
