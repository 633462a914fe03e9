// The runtime's widgets: multi-line boxes, fonts, loading forms, the error guard.
#include "FormDriver.h"
#include "runtime/Accessibility.h"
#include "runtime/Boxes.h"
#include "runtime/Fonts.h"
#include "runtime/Forms.h"
#include "runtime/Numbers.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QTest>

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

} // namespace

class FormsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setApplicationName(QStringLiteral("formstest"));
        installAccessibleBoxes();
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
};

QTEST_MAIN(FormsTest)
#include "test_runtime_forms.moc"
