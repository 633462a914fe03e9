// The payroll report's exact text: headings, lines, columns, blanks and CRLF;
// and the report form's PDF.
#include "FormDriver.h"
#include "Model.h"
#include "Pdf.h"
#include "WorkedExamples.h"
#include "runtime/rules/Results.h"
#include "runtime/rules/Errors.h"
#include "runtime/desktop/PrintActions.h"
#include "wagesheet/Form1.h"
#include "wagesheet/Payroll.h"

#include <QTemporaryDir>
#include <QTest>

using namespace wagesheet;
using runtime::ReportBoxes;
using runtime::RuntimeError;

Q_DECLARE_METATYPE(RuntimeError::Kind)

namespace {

const worked::Example &Worked = worked::Wagesheet;

ReportBoxes report()
{
    ReportBoxes boxes;
    buildPayrollReport(Module1::EmpTable, Module1::EmpCount, boxes);
    return boxes;
}

} // namespace

class PayrollReportTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Module1::EmpTable = EmpTableType();
        Module1::EmpCount = 0;
    }

    void emptyTable()
    {
        const ReportBoxes boxes = report();
        COMPARE_TEXT(boxes.Text1, Worked.Text1.headingText());
        COMPARE_TEXT(boxes.Text2, Worked.Text2.headingText());
    }

    // Department and amounts are looked up for each employee alone: H512
    // names no department and C911 and DX12 select no second-digit amount,
    // whatever the employees before them had.
    void workedExample()
    {
        Module1::EmpCount = worked::fill(Module1::EmpTable, worked::employees());
        const EmpTableType before = Module1::EmpTable;

        const ReportBoxes boxes = report();
        COMPARE_TEXT(boxes.Text1, Worked.Text1.text());
        COMPARE_TEXT(boxes.Text2, Worked.Text2.text());
        QVERIFY(Module1::EmpTable == before);
        QCOMPARE(Module1::EmpCount, 4);

        // A second run into boxes that already hold a report gives the same text.
        ReportBoxes again = boxes;
        buildPayrollReport(Module1::EmpTable, Module1::EmpCount, again);
        COMPARE_TEXT(again.Text1, boxes.Text1);
        COMPARE_TEXT(again.Text2, boxes.Text2);
    }

    // The line of an employee entered after G1 (총무부, every amount at its
    // largest), which must carry nothing over to it; the row's line first.
    void employeeLine_data()
    {
        QTest::addColumn<QString>("empNo");
        QTest::addColumn<int>("pay");
        QTest::addColumn<int>("night");
        QTest::addColumn<int>("family");
        // Codes 1: each digit's amount (E5 the least), no digit second or none, a lower-case letter.
        for (const char *number :
             {"A1", "E5", "E0", "E1", "E2", "E3", "E4", "F6", "G7", "B8", "D9", "AX12", "A 12", "A-12", "A", "", "a1"})
            QTest::addRow("number \"%s\"", number) << QString::fromLatin1(number) << 1 << 1 << 1;
        QTest::newRow("largest") << "A1" << 4 << 4 << 5;
        QTest::newRow("letter H") << "H1" << 2 << 2 << 2;
        QTest::newRow("Hangul first") << "가3" << 3 << 2 << 3;
        QTest::newRow("pay and night 5") << "C5" << 5 << 5 << 1;
        QTest::newRow("family 0, blanks in the box, 0 in the row") << "C5" << 1 << 1 << 0;
    }

    void employeeLine()
    {
        QFETCH(QString, empNo);
        QFETCH(int, pay);
        QFETCH(int, night);
        QFETCH(int, family);
        Module1::Append({QStringLiteral("G1"), 4, 4, 5});
        Module1::Append({empNo, pay, runtime::Integer(night), runtime::Integer(family)});
        const ReportBoxes boxes = report();
        const model::Report expected = model::payrollReport(Module1::EmpTable, Module1::EmpCount);
        COMPARE_TEXT(boxes.Text2.section(u'\n', -2), expected.text2.section(u'\n', -2));
        COMPARE_TEXT(boxes.Text2, expected.text2);
        COMPARE_TEXT(boxes.Text1, expected.text1);
        COMPARE_TEXT(boxes.table.rows.value(1), expected.rows.value(1));
    }

    // A run-time error stops the report; the employees before it keep their lines.
    void runtimeErrorKeepsEarlierLines_data()
    {
        QTest::addColumn<int>("badPayCode");
        QTest::addColumn<int>("count");
        QTest::addColumn<RuntimeError::Kind>("kind");
        QTest::addColumn<int>("finished");
        QTest::newRow("pay code beyond Integer") << 32768 << 3 << RuntimeError::Kind::Overflow << 1;
        QTest::newRow("count beyond the table") << 1 << 8 << RuntimeError::Kind::SubscriptOutOfRange << 7;
    }

    void runtimeErrorKeepsEarlierLines()
    {
        QFETCH(int, badPayCode);
        QFETCH(int, count);
        QFETCH(RuntimeError::Kind, kind);
        QFETCH(int, finished);
        for (int i = 1; i <= 7; ++i)
            Module1::Append({QStringLiteral("B%1").arg(i), i == 2 ? badPayCode : 1, 1, 1});

        ReportBoxes boxes;
        std::optional<RuntimeError::Kind> raised;
        try {
            buildPayrollReport(Module1::EmpTable, runtime::Integer(count), boxes);
        } catch (const RuntimeError &error) {
            raised = error.kind();
        }
        QCOMPARE(raised, std::optional(kind));
        QCOMPARE(boxes.Text1.count(QStringLiteral("\r\n")), 1 + finished);
        QCOMPARE(boxes.Text2.count(QStringLiteral("\r\n")), 1 + finished);
        QCOMPARE(boxes.table.rows.size(), finished);
        const model::Report expected = model::payrollReport(Module1::EmpTable, count);
        COMPARE_TEXT(boxes.Text1, expected.text1);
        COMPARE_TEXT(boxes.Text2, expected.text2);
    }

    // The paste keys in either report box: with nothing copied (data with no
    // format, as X11 hands over) the box stays as it was; copied text goes in.
    void pasteKeys_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<QString>("copied");
        QTest::newRow("Ctrl+V, nothing copied") << "Text1" << (Qt::CTRL | Qt::Key_V) << QString();
        QTest::newRow("Shift+Insert, nothing copied") << "Text2" << (Qt::SHIFT | Qt::Key_Insert) << QString();
        QTest::newRow("Shift+Insert, text copied") << "Text1" << (Qt::SHIFT | Qt::Key_Insert) << "메모 ";
    }
    void pasteKeys()
    {
        QFETCH(QString, box);
        QFETCH(QKeyCombination, keys);
        QFETCH(QString, copied);
        Module1::Append({QStringLiteral("B012"), 1, 2, 3});
        Form1 entry;
        entry.show();
        driver::click(&entry, "CmdOut");
        QWidget *form = driver::visibleTopLevel(QStringLiteral("Form2"));
        QVERIFY(form);
        auto *edit = driver::child<runtime::MultiLineBox>(form, qPrintable(box));
        const QString before = edit->Text();
        driver::copy(copied);
        edit->setFocus();
        QTest::keyClick(edit, keys.key(), keys.keyboardModifiers());
        COMPARE_TEXT(edit->Text(), copied + before);
        form->close();
    }

    // The modeless report prints what it shows, however old: an employee
    // entered after it opened is neither printed, copied by Ctrl+Shift+C (the
    // table, amounts as plain integers) nor loaded into it. The PDF:
    // one A4 page, fonts embedded, the heading, both captions and every line
    // of both boxes in order.
    void printsWhatItShowsAsPdf()
    {
        QApplication::setApplicationName(QStringLiteral("wagesheet"));
        Module1::EmpCount = worked::fill(Module1::EmpTable, worked::employees());
        Form1 entry;
        entry.show();
        driver::click(&entry, "CmdOut");
        QWidget *form = driver::visibleTopLevel(QStringLiteral("Form2"));
        QVERIFY(form);
        const QString shown1 = driver::child<runtime::MultiLineBox>(form, "Text1")->Text();
        const QString shown2 = driver::child<runtime::MultiLineBox>(form, "Text2")->Text();
        COMPARE_TEXT(shown2, report().Text2);
        Module1::Append({QStringLiteral("Z999"), 1, 1, 1});

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("payroll.pdf"));
        QVERIFY(form->findChild<runtime::ReportPrinter *>()->writePdf(path));
        COMPARE_TEXT(driver::child<runtime::MultiLineBox>(form, "Text1")->Text(), shown1);
        COMPARE_TEXT(driver::child<runtime::MultiLineBox>(form, "Text2")->Text(), shown2);
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QMimeData *copied = QApplication::clipboard()->mimeData();
        // A payroll line's cells: number, department (perhaps none), six amounts.
        const worked::Copied wanted = worked::copied(Worked.Text2, QRegularExpression(QStringLiteral(
            "^ {5}(\\S*) {2}(\\S*) {2}(\\d+) +([\\d,]+) +([\\d,]+) +([\\d,]+) +([\\d,]+) +([\\d,]+)$")));
        COMPARE_TEXT(copied->text(), wanted.text);
        COMPARE_TEXT(copied->html(), wanted.html);
        if (QFile html(qEnvironmentVariable("SHEETS_COPIED_HTML")); !html.fileName().isEmpty()) // tools/spreadsheet-check.sh
            QVERIFY(html.open(QIODevice::WriteOnly) && html.write(copied->html().toUtf8()) > 0);
        form->close();

        SKIP_READING_PDF_ON_WINDOWS();
        QCOMPARE(pdf::info(path, QStringLiteral("Pages")), QStringLiteral("1"));
        QCOMPARE(pdf::info(path, QStringLiteral("Page size")), QStringLiteral("595 x 842 pts (A4)"));
        const QMap<QString, bool> fonts = pdf::fonts(path);
        QVERIFY(!fonts.isEmpty());
        QVERIFY2(!fonts.values().contains(false), qPrintable(QStringList(fonts.keys()).join(u',')));
        // A proportional font: the words of each line, in order.
        auto words = [](const QString &line) { return line.simplified(); };
        QStringList rows = pdf::pages(path).value(0).split(u'\n');
        rows.removeIf([](const QString &row) { return row.trimmed().isEmpty(); });
        QVERIFY(words(rows.value(0)).startsWith(QStringLiteral("급여 계산서 인쇄일시 ")));
        QStringList expected = {QStringLiteral("입력 자료")};
        expected += shown1.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        expected += QStringLiteral("출력 자료");
        expected += shown2.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        expected += QStringLiteral("1 / 1");
        QCOMPARE(expected.size(), 3 + 2 * (1 + worked::employees().size())); // captions, "1 / 1", and each box's heading and lines
        QStringList onPaper = rows.mid(1);
        for (QString &row : onPaper)
            row = words(row);
        for (QString &line : expected)
            line = words(line);
        COMPARE_TEXT(onPaper, expected);
        QVERIFY(!onPaper.join(u' ').contains(QStringLiteral("Z999")));
    }
};

QTEST_MAIN(PayrollReportTest)
#include "test_wagesheet_report.moc"
