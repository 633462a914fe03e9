// The subscriber entry form, driven through its real widgets.
#include "FormDriver.h"
#include "Model.h"
#include "runtime/rules/Errors.h"
#include "tollsheet/Form1.h"
#include "tollsheet/Module1.h"

#include <QLabel>

using namespace tollsheet;
using driver::child;

namespace {

const char *const Boxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5"};

void typeSubscriber(QWidget *form, const QStringList &texts)
{
    for (int i = 0; i < 5; ++i)
        driver::type(form, Boxes[i], texts[i]);
}

QStringList boxTexts(QWidget *form)
{
    QStringList texts;
    for (const char *box : Boxes)
        texts << child<QLineEdit>(form, box)->text();
    return texts;
}

// Records, in order, a box's focus-in events and caret moves: each is an
// accessibility event that a screen reader receives in the same order.
struct FocusAndCaret : QObject {
    QStringList seen;
    explicit FocusAndCaret(QLineEdit *box)
    {
        box->installEventFilter(this);
        connect(box, &QLineEdit::cursorPositionChanged, this, [this] { seen << QStringLiteral("caret"); });
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            seen << QStringLiteral("focus");
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(tollsheet::CustRecord)

class EntryTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Form1> form;

private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("tollsheet")); }

    void init()
    {
        Module1::CustTable = {};
        Module1::CustCount = 0;
        form = std::make_unique<Form1>();
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup() { form.reset(); }

    void startsWithFocusInFirstBoxAndTabsInOrder()
    {
        QCOMPARE(QApplication::focusWidget(), child(form.get(), "Text1"));
        const char *order[] = {"Text2", "Text3", "Text4", "Text5", "Command1", "Command2", "Text1"};
        for (const char *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(next));
        }
        QCOMPARE(form->windowTitle(), QStringLiteral("Form1"));
        COMPARE_TEXT(child<QPushButton>(form.get(), "Command1")->text(), QStringLiteral("입력"));
        COMPARE_TEXT(child<QPushButton>(form.get(), "Command2")->text(), QStringLiteral("출력"));
    }

    void labelsNameTheirBoxes_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("1") << "Label1" << "Text1" << "고객번호" << QRect(160, 24, 121, 25);
        QTest::newRow("2") << "Label2" << "Text2" << "등급코드" << QRect(160, 56, 121, 25);
        QTest::newRow("3") << "Label3" << "Text3" << "음성서비스가입여부" << QRect(160, 88, 121, 25);
        QTest::newRow("4") << "Label4" << "Text4" << "문자서비스가입여부" << QRect(160, 120, 121, 25);
        QTest::newRow("5") << "Label5" << "Text5" << "전화사용시간" << QRect(160, 152, 121, 25);
    }
    void labelsNameTheirBoxes()
    {
        QFETCH(QString, label);
        QFETCH(QString, box);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        auto *control = child<QLabel>(form.get(), label.toLatin1().constData());
        COMPARE_TEXT(control->text(), caption);
        QCOMPARE(control->buddy()->objectName(), box);
        QCOMPARE(control->buddy()->geometry(), geometry);
    }

    // Each row names the box whose check refuses it; message and title are the model's.
    void refusedEntries_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("focus");
        QTest::newRow("all empty") << QStringList{"", "", "", "", ""} << "Text2";
        QTest::newRow("9.5 rounds to 10") << QStringList{"9.5", "S", "Y", "N", "1"} << "Text1";
        QTest::newRow("negative number") << QStringList{"-1", "S", "Y", "N", "1"} << "Text1";
        // Grades after Z, after a blank, Hangul, a digit, a key pressed twice, two letters, a word.
        for (const char *grade : {"ZA", " A", "가", "1", "SS", "ab", "yes"})
            QTest::addRow("grade \"%s\"", grade) << QStringList{"1", grade, "Y", "N", "1"} << "Text2";
        QTest::newRow("voice with a blank") << QStringList{"1", "S", "Y ", "N", "1"} << "Text3";
        QTest::newRow("voice YES") << QStringList{"1", "S", "YES", "N", "1"} << "Text3";
        QTest::newRow("text x") << QStringList{"1", "S", "n", "x", "1"} << "Text4";
        QTest::newRow("both flags wrong") << QStringList{"1", "S", "x", "q", "1"} << "Text3";
        QTest::newRow("both flags empty") << QStringList{"1", "S", "", "", "1"} << "Text3";
        for (const char *time : {"1000", "999.5", "-1"})
            QTest::addRow("time %s", time) << QStringList{"1", "S", "Y", "N", time} << "Text5";
        QTest::newRow("grade and time wrong") << QStringList{"1", "1", "Y", "N", "5000"} << "Text2";
    }
    void refusedEntries()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, focus);
        const model::Entry<CustRecord> expected = model::tollsheetEntry(texts, 0);
        typeSubscriber(form.get(), texts);
        const driver::Shown shown = driver::clickAnswering(form.get(), "Command1");
        QVERIFY(shown.seen);
        COMPARE_TEXT(shown.text, expected.message);
        COMPARE_TEXT(shown.title, expected.title);
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
        QCOMPARE(form->focusWidget()->objectName(), focus);
        COMPARE_TEXT(boxTexts(form.get()), texts);
        QCOMPARE(Module1::CustCount, Integer(0));
    }

    void acceptedEntries_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<CustRecord>("stored");
        QTest::newRow("lower case, empty numbers") << QStringList{"", "s", "y", "n", ""} << CustRecord{0, "S", "Y", "N", 0};
        QTest::newRow("blanks before a number") << QStringList{"  7", "a", "Y", "N", "999"} << CustRecord{7, "A", "Y", "N", 999};
        QTest::newRow("halves to even") << QStringList{"8.5", "F", "N", "y", "998.5"} << CustRecord{8, "F", "N", "Y", 998};
        QTest::newRow("small negative") << QStringList{"-0.4", "I", "N", "N", "0"} << CustRecord{0, "I", "N", "N", 0};
        QTest::newRow("no number") << QStringList{"abc", "Z", "N", "N", "12kg"} << CustRecord{0, "Z", "N", "N", 12};
        QTest::newRow("grade A, the first letter") << QStringList{"9", "a", "n", "n", "1"} << CustRecord{9, "A", "N", "N", 1};
    }
    void acceptedEntries()
    {
        QFETCH(QStringList, texts);
        QFETCH(CustRecord, stored);
        typeSubscriber(form.get(), texts);
        auto *text1 = child<QLineEdit>(form.get(), "Text1");
        FocusAndCaret told(text1);
        const driver::Shown shown = driver::clickAnswering(form.get(), "Command1");
        QVERIFY(!shown.seen);
        QCOMPARE(Module1::CustCount, Integer(1));
        QVERIFY(Module1::CustTable(1) == stored);
        COMPARE_TEXT(boxTexts(form.get()), QStringList(5, QString()));
        QCOMPARE(form->focusWidget(), text1);
        // A screen reader hears the focus reach Text1 only if Text1 gets it
        // before its caret moves (see Command1_Click).
        QVERIFY(!told.seen.isEmpty());
        QCOMPARE(told.seen.first(), QStringLiteral("focus"));
    }

    void eighthSubscriberIsRefused()
    {
        for (int i = 1; i <= 7; ++i) {
            typeSubscriber(form.get(), {QString::number(i), "S", "Y", "N", "10"});
            QVERIFY(!driver::clickAnswering(form.get(), "Command1").seen);
        }
        QCOMPARE(Module1::CustCount, Integer(7));
        QCOMPARE(Module1::CustTable(7).CustNo, Integer(7));

        const QStringList eighth{"8", "C", "N", "Y", "5"};
        typeSubscriber(form.get(), eighth);
        driver::Shown shown = driver::clickAnswering(form.get(), "Command1");
        COMPARE_TEXT(shown.text, model::tollsheetEntry(eighth, 7).message);
        COMPARE_TEXT(shown.title, model::tollsheetEntry(eighth, 7).title);
        QCOMPARE(form->focusWidget(), child(form.get(), "Command1")); // not moved
        COMPARE_TEXT(boxTexts(form.get()), eighth);
        QCOMPARE(Module1::CustCount, Integer(7));

        // A bad field is still reported before the full table.
        driver::type(form.get(), "Text1", QStringLiteral("10"));
        shown = driver::clickAnswering(form.get(), "Command1");
        COMPARE_TEXT(shown.text, model::tollsheetEntry(boxTexts(form.get()), 7).message);
        QCOMPARE(form->focusWidget(), child(form.get(), "Text1"));
    }

    void overflowIsShownAndChangesNothing_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("customer number 40000") << QStringList{"40000", "S", "Y", "N", "1"};
        // Every box is read before any test, so the overflow wins over test 1.
        QTest::newRow("usage time overflow") << QStringList{"12", "S", "Y", "N", "99999"};
        QTest::newRow("a thousand digits") << QStringList{"1", "S", "Y", "N", QString(1000, u'9')};
    }
    void overflowIsShownAndChangesNothing()
    {
        QFETCH(QStringList, texts);
        typeSubscriber(form.get(), texts);
        const driver::Shown shown = driver::clickAnswering(form.get(), "Command1");
        QVERIFY(shown.seen);
        QCOMPARE(shown.title, QStringLiteral("tollsheet"));
        COMPARE_TEXT(shown.text, runtime::RuntimeError(runtime::RuntimeError::Kind::Overflow).description());
        COMPARE_TEXT(boxTexts(form.get()), texts);
        QCOMPARE(form->focusWidget(), child(form.get(), "Command1")); // where the click left it
        QCOMPARE(Module1::CustCount, Integer(0));

        // The program goes on: the next click works.
        typeSubscriber(form.get(), {"1", "S", "Y", "N", "1"});
        QVERIFY(!driver::clickAnswering(form.get(), "Command1").seen);
        QCOMPARE(Module1::CustCount, Integer(1));
    }

    // A close request for the entry form (the window manager's, or a Wayland
    // compositor's, which Qt turns into QWindow::close()) is refused while a
    // message box or the report is open, and ends the program otherwise. The
    // report is a window of the entry form's own, so it stays above it.
    void closingIsRefusedWhileAModalWindowIsOpen()
    {
        QWindow *window = form->windowHandle();
        bool keptByMessage = false;
        // Empty boxes: the grade-code message.
        const driver::Shown shown = driver::clickAnswering(form.get(), "Command1", {}, {}, [&](QMessageBox *) {
            window->close();
            keptByMessage = form->isVisible();
        });
        QCOMPARE(shown.count, 1);
        QVERIFY(keptByMessage);

        bool keptByReport = false;
        driver::clickAnswering(form.get(), "Command2", QStringLiteral("Form2"), [&](QWidget *report) {
            QCOMPARE(report->windowHandle()->transientParent(), window);
            window->close();
            keptByReport = form->isVisible();
        });
        QVERIFY(keptByReport);
        window->close();
        QVERIFY(!form->isVisible());
    }

    void reportOpensWithEmptyTableAndShowsLaterEntries()
    {
        QString first;
        driver::clickAnswering(form.get(), "Command2", QStringLiteral("Form2"), [&](QWidget *report) {
            first = child<runtime::MultiLineBox>(report, "Text2")->Text();
        });
        QCOMPARE(first.count(QStringLiteral("\r\n")), 3);

        typeSubscriber(form.get(), {"4", "C", "N", "N", "0"});
        driver::click(form.get(), "Command1");
        QString second;
        driver::clickAnswering(form.get(), "Command2", QStringLiteral("Form2"), [&](QWidget *report) {
            second = child<runtime::MultiLineBox>(report, "Text2")->Text();
        });
        QVERIFY(second.startsWith(first));
        COMPARE_TEXT(second, model::billingReport(Module1::CustTable, Module1::CustCount).text2);
    }
};

QTEST_MAIN(EntryTest)
#include "test_tollsheet_entry.moc"
