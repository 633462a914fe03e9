// The payroll entry form and its modeless report, driven through the real
// widgets: typing, clicking, answering message boxes, reading focus and boxes.
#include "FormDriver.h"
#include "Model.h"
#include "runtime/rules/Errors.h"
#include "wagesheet/Form1.h"
#include "wagesheet/Form2.h"
#include "wagesheet/Module1.h"

#include <QLabel>
#include <memory>

using namespace wagesheet;
using driver::child;
using driver::Shown;
using driver::visibleTopLevel;
using runtime::MultiLineBox;

namespace {

const QString Smiley = QString::fromUcs4(U"\U0001F600");

const char *const Boxes[] = {"text1", "text2", "text3", "text4"};

QString boxText(QWidget *report, const char *name)
{
    return child<MultiLineBox>(report, name)->Text();
}

} // namespace

class EntryFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;

    QStringList boxTexts()
    {
        QStringList texts;
        for (const char *box : Boxes)
            texts << child<QLineEdit>(form.get(), box)->text();
        return texts;
    }

    // Types into the four boxes; each must show exactly what was typed, neither
    // cut nor upper-cased before 입력 is clicked.
    void fill(const QStringList &texts)
    {
        for (int i = 0; i < 4; ++i)
            driver::type(form.get(), Boxes[i], texts[i]);
        COMPARE_TEXT(boxTexts(), texts);
    }

    Shown click(const char *button) { return driver::clickAnswering(form.get(), button); }

    Shown enter(const QStringList &texts)
    {
        fill(texts);
        return click("CmdIn");
    }

    QString focused() { return form->focusWidget() ? form->focusWidget()->objectName() : QString(); }

private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("wagesheet")); }

    void init()
    {
        Module1::EmpTable = EmpTableType();
        Module1::EmpCount = 0;
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup() { form.reset(); }

    // --- the form itself ---

    void layout_data()
    {
        QTest::addColumn<bool>("report");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Label1") << false << "Label1" << QRect(24, 16, 73, 25);
        QTest::newRow("Label2") << false << "Label2" << QRect(24, 48, 73, 25);
        QTest::newRow("Label3") << false << "Label3" << QRect(24, 80, 89, 25);
        QTest::newRow("Label4") << false << "Label4" << QRect(24, 112, 89, 25);
        QTest::newRow("CmdIn") << false << "CmdIn" << QRect(8, 144, 81, 33);
        QTest::newRow("CmdOut") << false << "CmdOut" << QRect(120, 144, 81, 33);
        QTest::newRow("text1") << false << "text1" << QRect(104, 8, 81, 25);
        QTest::newRow("text2") << false << "text2" << QRect(104, 40, 81, 25);
        QTest::newRow("text3") << false << "text3" << QRect(104, 72, 81, 25);
        QTest::newRow("text4") << false << "text4" << QRect(104, 104, 81, 25);
        QTest::newRow("Form1") << false << "Form1" << QRect(0, 0, 208, 181);
        QTest::newRow("Text1") << true << "Text1" << QRect(8, 24, 425, 113);
        QTest::newRow("Text2") << true << "Text2" << QRect(8, 160, 425, 113);
        QTest::newRow("Form2") << true << "Form2" << QRect(0, 0, 438, 280);
    }

    void layout()
    {
        QFETCH(bool, report);
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        Form2 form2;
        QWidget *owner = report ? static_cast<QWidget *>(&form2) : form.get();
        QWidget *widget = owner->objectName() == name ? owner : owner->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->isWindow() ? QRect(QPoint(), widget->size()) : widget->geometry(), pixels);
        QCOMPARE(owner->testAttribute(Qt::WA_SetFont), false); // the system default font
    }

    void captionsAndLabels()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Form1"));
        const QStringList captions = {"사원번호", "기 본 급", "야간시간", "가족수"};
        for (int i = 0; i < 4; ++i) {
            auto *label = child<QLabel>(form.get(), QByteArray("Label" + QByteArray::number(i + 1)).constData());
            COMPARE_TEXT(label->text(), captions[i]);
            QCOMPARE(label->buddy()->objectName(), QStringLiteral("text%1").arg(i + 1));
        }
        for (const char *name : {"CmdIn", "CmdOut"}) {
            QVERIFY(!child<QPushButton>(form.get(), name)->autoDefault());
            QVERIFY(!child<QPushButton>(form.get(), name)->isDefault());
        }
        COMPARE_TEXT(child<QPushButton>(form.get(), "CmdIn")->text(), QStringLiteral("입력"));
        COMPARE_TEXT(child<QPushButton>(form.get(), "CmdOut")->text(), QStringLiteral("출력"));
    }

    void focusStartsOnCmdInAndTabCycles()
    {
        QCOMPARE(QApplication::focusWidget(), child(form.get(), "CmdIn"));
        for (const char *next : {"CmdOut", "text1", "text2", "text3", "text4", "CmdIn"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focused(), QLatin1String(next));
        }
    }

    void enterInABoxStoresNothing()
    {
        fill({"A1", "1", "1", "1"});
        const Shown shown = driver::attend([&] { QTest::keyClick(child(form.get(), "text4"), Qt::Key_Return); });
        QCOMPARE(shown.count, 0);
        QCOMPARE(Module1::EmpCount, 0);
        COMPARE_TEXT(boxTexts(), QStringList({"A1", "1", "1", "1"}));
    }

    // --- entering ---

    void storesEntry_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("empNo");
        QTest::addColumn<int>("pay");
        QTest::addColumn<int>("night");
        QTest::addColumn<int>("family");
        QTest::newRow("upper-cased, four kept") << QStringList{"ab12cd", "1", "1", "1"} << "AB12" << 1 << 1 << 1;
        QTest::newRow("two characters") << QStringList{"a1", "4", "4", "5"} << "A1" << 4 << 4 << 5;
        QTest::newRow("Hangul cut to four") << QStringList{"가나다라마", "2", "3", "4"} << "가나다라" << 2 << 3 << 4;
        QTest::newRow("four blanks kept") << QStringList{"    ", "1", "1", "1"} << "    " << 1 << 1 << 1;
        QTest::newRow("empty number") << QStringList{"", "1", "1", "1"} << "" << 1 << 1 << 1;
        QTest::newRow("emoji kept whole") << QStringList{Smiley.repeated(5), "1", "1", "1"} << Smiley.repeated(4) << 1 << 1 << 1;
        QTest::newRow("emoji among letters") << QStringList{"a" + Smiley + "b" + Smiley + "c", "1", "1", "1"}
                                             << "A" + Smiley + "B" + Smiley << 1 << 1 << 1;
        QTest::newRow("2.5 to even 2") << QStringList{"B1", "2.5", "2.5", "2.5"} << "B1" << 2 << 2 << 2;
        QTest::newRow("3.5 to even 4") << QStringList{"B1", "3.5", "3.5", "3.5"} << "B1" << 4 << 4 << 4;
        QTest::newRow("4.5 to even 4") << QStringList{"B1", "4.5", "4.5", "4.5"} << "B1" << 4 << 4 << 4;
        QTest::newRow("3kg") << QStringList{"B1", "3kg", "3kg", "3kg"} << "B1" << 3 << 3 << 3;
        QTest::newRow("leading blank") << QStringList{"B1", " 3", " 3", " 3"} << "B1" << 3 << 3 << 3;
        QTest::newRow("family 0.6 to 1") << QStringList{"B1", "1", "1", "0.6"} << "B1" << 1 << 1 << 1;
    }

    void storesEntry()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, empNo);
        QFETCH(int, pay);
        QFETCH(int, night);
        QFETCH(int, family);
        Module1::Append({QStringLiteral("Z9"), 2, 2, 2}); // the new record goes to slot 2

        const Shown shown = enter(typed);
        QCOMPARE(shown.count, 0);
        QCOMPARE(Module1::EmpCount, 2);
        const EmpRecord expected{empNo, pay, runtime::Integer(night), runtime::Integer(family)};
        COMPARE_TEXT(Module1::EmpTable(2).EmpNo, empNo);
        QCOMPARE(Module1::EmpTable(2), expected);
        COMPARE_TEXT(boxTexts(), QStringList({"", "", "", ""}));
        QCOMPARE(focused(), QStringLiteral("CmdIn"));
    }

    // Each row names the box whose check refuses it; message and title are the model's.
    void refusesEntry_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("focus");
        QTest::newRow("all empty") << QStringList{"", "", "", ""} << "text2";
        for (const char *pay : {"0.5", "4.6", "-1", "5", "0"})
            QTest::addRow("pay %s", pay) << QStringList{"A1", pay, "1", "1"} << "text2";
        for (const char *night : {"0.5", "4.6", "-1", "5", "0"})
            QTest::addRow("night %s", night) << QStringList{"A1", "1", night, "1"} << "text3";
        for (const char *family : {"5.5", "6", "0"})
            QTest::addRow("family %s", family) << QStringList{"A1", "1", "1", family} << "text4";
        QTest::newRow("pay before family") << QStringList{"A1", "9", "1", "9"} << "text2";
        QTest::newRow("night before family") << QStringList{"A1", "1", "9", "9"} << "text3";
    }

    void refusesEntry()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, focus);
        const model::Entry<EmpRecord> expected = model::wagesheetEntry(typed, 0);
        const Shown shown = enter(typed);
        QCOMPARE(shown.count, 1);
        COMPARE_TEXT(shown.title, expected.title);
        COMPARE_TEXT(shown.text, expected.message);
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
        QCOMPARE(shown.buttons, 1);
        QCOMPARE(focused(), focus);
        QCOMPARE(Module1::EmpCount, 0);
        COMPARE_TEXT(boxTexts(), typed);
    }

    void overflow_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("full");
        QTest::newRow("pay 99999") << QStringList{"A1", "99999", "1", "1"} << false;
        QTest::newRow("night 99999 before pay 9") << QStringList{"A1", "9", "99999", "1"} << false;
        QTest::newRow("family 99999 before night 0") << QStringList{"A1", "1", "0", "99999"} << false;
        QTest::newRow("pay 40000 before full table") << QStringList{"A1", "40000", "1", "1"} << true;
    }

    void overflow()
    {
        QFETCH(QStringList, typed);
        QFETCH(bool, full);
        for (int i = 0; full && i < 7; ++i)
            Module1::Append({QStringLiteral("B%1").arg(i), 1, 1, 1});
        const EmpTableType before = Module1::EmpTable;
        const runtime::Integer count = Module1::EmpCount;

        const Shown shown = enter(typed);
        QCOMPARE(shown.count, 1);
        QCOMPARE(shown.title, QStringLiteral("wagesheet"));
        COMPARE_TEXT(shown.text, runtime::RuntimeError(runtime::RuntimeError::Kind::Overflow).description());
        QCOMPARE(Module1::EmpCount, count);
        QVERIFY(Module1::EmpTable == before);
        COMPARE_TEXT(boxTexts(), typed);
        QCOMPARE(focused(), QStringLiteral("CmdIn"));
    }

    void tableFull_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::newRow("valid") << QStringList{"H8", "1", "1", "1"};
        QTest::newRow("all empty") << QStringList{"", "", "", ""};
        QTest::newRow("pay 9") << QStringList{"H8", "9", "1", "1"};
        QTest::newRow("family 9") << QStringList{"H8", "1", "1", "9"};
    }

    void tableFull()
    {
        QFETCH(QStringList, typed);
        for (int i = 1; i <= 7; ++i)
            QCOMPARE(enter({QStringLiteral("a%1").arg(i), "1", "2", "3"}).count, 0);
        QCOMPARE(Module1::EmpCount, 7);
        QCOMPARE(Module1::EmpTable(7).EmpNo, QStringLiteral("A7"));

        const model::Entry<EmpRecord> expected = model::wagesheetEntry(typed, 7);
        const Shown shown = enter(typed);
        QCOMPARE(shown.count, 1);
        COMPARE_TEXT(shown.title, expected.title);
        COMPARE_TEXT(shown.text, expected.message);
        QCOMPARE(focused(), QStringLiteral("CmdIn")); // where the click left it
        COMPARE_TEXT(boxTexts(), typed);
        QCOMPARE(Module1::EmpCount, 7);
        QCOMPARE(Module1::EmpTable(7).EmpNo, QStringLiteral("A7"));
    }

    // --- the modeless report ---

    void reportLifecycle()
    {
        QCOMPARE(click("CmdOut").count, 0);
        auto *report = visibleTopLevel(QStringLiteral("Form2"));
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), QStringLiteral("Form2"));
        COMPARE_TEXT(child<MultiLineBox>(report, "Text1")->accessibleName(), QStringLiteral("입력 자료"));
        COMPARE_TEXT(child<MultiLineBox>(report, "Text2")->accessibleName(), QStringLiteral("출력 자료"));
        COMPARE_TEXT(boxText(report, "Text1"), model::payrollReport({}, 0).text1);
        COMPARE_TEXT(boxText(report, "Text2"), model::payrollReport({}, 0).text2);

        // Entering goes on while the report is open; the open report is not
        // reloaded, but "출력" brings it in front of the entry form.
        QCOMPARE(enter({"a1", "1", "1", "1"}).count, 0);
        QCOMPARE(Module1::EmpCount, 1);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(click("CmdOut").count, 0);
        QCOMPARE(visibleTopLevel(QStringLiteral("Form2")), report);
        QVERIFY(QTest::qWaitForWindowActive(report));
        QCOMPARE(QApplication::activeWindow(), report);
        COMPARE_TEXT(boxText(report, "Text1"), model::payrollReport({}, 0).text1);
        COMPARE_TEXT(boxText(report, "Text2"), model::payrollReport({}, 0).text2);

        // Closed and shown again, the same form lists the new employee.
        report->close();
        QVERIFY(!report->isVisible());
        QCOMPARE(click("CmdOut").count, 0);
        QCOMPARE(visibleTopLevel(QStringLiteral("Form2")), report);
        COMPARE_TEXT(boxText(report, "Text1"), model::payrollReport(Module1::EmpTable, 1).text1);
        COMPARE_TEXT(boxText(report, "Text2"), model::payrollReport(Module1::EmpTable, 1).text2);

        // A close request is refused while a message box is open; otherwise
        // closing the entry form closes the report with it.
        bool keptByMessage = false;
        driver::clickAnswering(form.get(), "CmdIn", {}, {}, [&](QMessageBox *) {
            form->windowHandle()->close();
            keptByMessage = form->isVisible() && report->isVisible();
        });
        QVERIFY(keptByMessage);
        form->windowHandle()->close();
        QVERIFY(!report->isVisible());
        QVERIFY(!visibleTopLevel(QStringLiteral("Form1")));
    }

    void reportErrorKeepsFinishedLines()
    {
        Module1::Append({QStringLiteral("C5"), 1, 1, 1});
        Module1::Append({QStringLiteral("C6"), 40000, 1, 1}); // no Integer pay code
        Module1::Append({QStringLiteral("C7"), 1, 1, 1});
        const model::Report expected = model::payrollReport(Module1::EmpTable, 3);
        const Shown shown = click("CmdOut");
        QCOMPARE(shown.count, 1);
        QCOMPARE(shown.title, QStringLiteral("wagesheet"));
        COMPARE_TEXT(shown.text, runtime::RuntimeError(runtime::RuntimeError::Kind::Overflow).description());
        auto *report = visibleTopLevel(QStringLiteral("Form2"));
        QVERIFY(report);
        COMPARE_TEXT(boxText(report, "Text1"), expected.text1);
        COMPARE_TEXT(boxText(report, "Text2"), expected.text2);
        QCOMPARE(Module1::EmpCount, 3);
    }
};

QTEST_MAIN(EntryFormTest)
#include "test_wagesheet_entry.moc"
