// The payroll report's exact text: headings, lines, columns, blanks and CRLF;
// and the report form's PDF.
#include "FormDriver.h"
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
const QString Heading1 = Worked.Text1.headingText();
const QString Heading2 = Worked.Text2.headingText();

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
        COMPARE_TEXT(boxes.Text1, Heading1);
        COMPARE_TEXT(boxes.Text2, Heading2);
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

    // The line of an employee entered after G1 (총무부, 900000, pay and night
    // code 4), which must carry nothing over to it.
    void employeeLine_data()
    {
        QTest::addColumn<QString>("empNo");
        QTest::addColumn<int>("pay");
        QTest::addColumn<int>("night");
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("line");
        QTest::newRow("two characters") << "A1" << 1 << 1 << 1 << "     A1  영업부  15000    900,000   7,000      1,500   923,500  833,500\r\n";
        QTest::newRow("largest") << "A1" << 4 << 4 << 5 << "     A1  영업부  45000    900,000   35,000     4,500   984,500  894,500\r\n";
        QTest::newRow("smallest selected") << "E5" << 1 << 1 << 1 << "     E5  경리부  15000    300,000   7,000      1,500   323,500  293,500\r\n";
        QTest::newRow("digit 0") << "E0" << 1 << 1 << 1 << "     E0  경리부  15000    0        7,000      1,500   23,500  23,500\r\n";
        QTest::newRow("digit 1") << "E1" << 1 << 1 << 1 << "     E1  경리부  15000    900,000   7,000      1,500   923,500  833,500\r\n";
        QTest::newRow("digit 2") << "E2" << 1 << 1 << 1 << "     E2  경리부  15000    400,000   7,000      1,500   423,500  383,500\r\n";
        QTest::newRow("digit 3") << "E3" << 1 << 1 << 1 << "     E3  경리부  15000    600,000   7,000      1,500   623,500  563,500\r\n";
        QTest::newRow("digit 4") << "E4" << 1 << 1 << 1 << "     E4  경리부  15000    800,000   7,000      1,500   823,500  743,500\r\n";
        QTest::newRow("digit 6") << "F6" << 1 << 1 << 1 << "     F6  판촉부  15000    800,000   7,000      1,500   823,500  743,500\r\n";
        QTest::newRow("digit 7") << "G7" << 1 << 1 << 1 << "     G7  총무부  15000    800,000   7,000      1,500   823,500  743,500\r\n";
        QTest::newRow("digit 8") << "B8" << 1 << 1 << 1 << "     B8  업무부  15000    0        7,000      1,500   23,500  23,500\r\n";
        QTest::newRow("digit 9") << "D9" << 1 << 1 << 1 << "     D9  인사부  15000    0        7,000      1,500   23,500  23,500\r\n";
        QTest::newRow("letter second") << "AX12" << 1 << 1 << 1 << "     AX12  영업부  15000    0        7,000      1,500   23,500  23,500\r\n";
        QTest::newRow("blank second") << "A 12" << 1 << 1 << 1 << "     A 12  영업부  15000    0        7,000      1,500   23,500  23,500\r\n";
        QTest::newRow("sign second") << "A-12" << 1 << 1 << 1 << "     A-12  영업부  15000    0        7,000      1,500   23,500  23,500\r\n";
        QTest::newRow("one character") << "A" << 1 << 1 << 1 << "     A  영업부  15000    0        7,000      1,500   23,500  23,500\r\n";
        QTest::newRow("empty number") << "" << 1 << 1 << 1 << "         15000    0        7,000      1,500   23,500  23,500\r\n";
        QTest::newRow("letter H") << "H1" << 2 << 2 << 2 << "     H1    25000    900,000   14,000     2,500   941,500  851,500\r\n";
        QTest::newRow("Hangul first") << "가3" << 3 << 2 << 3 << "     가3    35000    600,000   21,000     2,500   658,500  598,500\r\n";
        QTest::newRow("lower-case a") << "a1" << 1 << 1 << 1 << "     a1    15000    900,000   7,000      1,500   923,500  833,500\r\n";
        QTest::newRow("pay and night 5") << "C5" << 5 << 5 << 1 << "     C5  흥보부  0    300,000   7,000      0       307,000  277,000\r\n";
        QTest::newRow("family 0") << "C5" << 1 << 1 << 0 << "     C5  흥보부  15000    300,000              1,500   316,500  286,500\r\n";
    }

    void employeeLine()
    {
        QFETCH(QString, empNo);
        QFETCH(int, pay);
        QFETCH(int, night);
        QFETCH(int, family);
        QFETCH(QString, line);
        Module1::Append({QStringLiteral("G1"), 4, 4, 5});
        Module1::Append({empNo, pay, runtime::Integer(night), runtime::Integer(family)});
        const QString first = QStringLiteral("     G1  총무부  45000    900,000   35,000     4,500   984,500  894,500\r\n");
        const ReportBoxes boxes = report();
        COMPARE_TEXT(boxes.Text2, Heading2 + first + line);
        COMPARE_TEXT(boxes.Text1, Heading1 + QStringLiteral("     G1         4          4        5\r\n     ") + empNo
                                      + QStringLiteral("         %1          %2        %3\r\n").arg(pay).arg(night).arg(family));
        QCOMPARE(boxes.table.rows.value(1).value(4), QString::number(family * 7000)); // 0, where the box shows blanks
    }

    // A run-time error stops the report; the employees before it keep their lines.
    void runtimeErrorKeepsEarlierLines_data()
    {
        QTest::addColumn<int>("badPayCode");
        QTest::addColumn<int>("count");
        QTest::addColumn<RuntimeError::Kind>("kind");
        QTest::addColumn<int>("finished");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("pay code beyond Integer") << 32768 << 3 << RuntimeError::Kind::Overflow << 1
                                                 << "     B1  업무부  15000    900,000   7,000      1,500   923,500  833,500\r\n";
        QTest::newRow("count beyond the table") << 1 << 8 << RuntimeError::Kind::SubscriptOutOfRange << 7
                                                << "     B7  업무부  15000    800,000   7,000      1,500   823,500  743,500\r\n";
    }

    void runtimeErrorKeepsEarlierLines()
    {
        QFETCH(int, badPayCode);
        QFETCH(int, count);
        QFETCH(RuntimeError::Kind, kind);
        QFETCH(int, finished);
        QFETCH(QString, lastLine);
        for (int i = 1; i <= 7; ++i)
            Module1::Append({QStringLiteral("B%1").arg(i), i == 2 ? badPayCode : 1, 1, 1});

        ReportBoxes boxes;
        std::optional<RuntimeError::Kind> raised;
        try {
            buildPayrollReport(Module1::EmpTable, runtime::Integer(count), boxes);
        } catch (const RuntimeError &error) {
            raised = error.kind();
        }
        QVERIFY(raised.has_value());
        QCOMPARE(*raised, kind);
        QCOMPARE(boxes.Text1.count(QStringLiteral("\r\n")), 1 + finished);
        QCOMPARE(boxes.Text2.count(QStringLiteral("\r\n")), 1 + finished);
        QCOMPARE(boxes.table.rows.size(), finished);
        QVERIFY(boxes.Text1.startsWith(Heading1));
        QVERIFY(boxes.Text1.endsWith(QStringLiteral("     B%1         1          1        1\r\n").arg(finished)));
        QVERIFY(boxes.Text2.startsWith(Heading2));
        QVERIFY(boxes.Text2.endsWith(lastLine));
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
        QCOMPARE(onPaper, expected);
        QVERIFY(!onPaper.join(u' ').contains(QStringLiteral("Z999")));
    }
};

QTEST_MAIN(PayrollReportTest)
#include "test_wagesheet_report.moc"
