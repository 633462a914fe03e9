// How long one "입력" click on each program's real entry form takes, and how
// long each program takes to build the report of a full table (seven
// records). Beside each click, two parts of it are timed alone: filling and
// emptying the boxes (which the click's loop does besides the click), and
// the entry's checks and store without the form. A benchmark program, not a
// CTest test: scripts/bench-clicks runs it, or by hand
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_clicks            (wall time)
//   QT_QPA_PLATFORM=offscreen build/bin/bench_clicks -tickcounter
//
// Each benchmark checks afterwards that what it timed did the real work: the
// click stored exactly the typed record and opened no message box, and the
// report holds the seven lines it must. Last, each report form of seven
// records written as a PDF (one A4 page, checked with pdfinfo and pdftotext).
#include "FormDriver.h"
#include "Pdf.h"
#include "WorkedExamples.h"
#include "runtime/rules/Results.h"
#include "runtime/desktop/PrintActions.h"
#include "tollsheet/Form2.h"
#include "wagesheet/Form2.h"
#include "tollsheet/Billing.h"
#include "tollsheet/Entry.h"
#include "tollsheet/Form1.h"
#include "tollsheet/Module1.h"
#include "wagesheet/Entry.h"
#include "wagesheet/Form1.h"
#include "wagesheet/Module1.h"
#include "wagesheet/Payroll.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

using driver::child;
using runtime::CRLF;
using runtime::ReportBoxes;

namespace {

QString b(int count) { return QString(count, u' '); }

// Seven subscribers, not in customer-number order; the first three are the
// billing report's worked example (numbered 1 to 3), whose lines are known
// exactly.
const QList<tollsheet::CustRecord> Subscribers = worked::subscribers() + QList<tollsheet::CustRecord>{
    {7, "F", "N", "Y", 300}, {5, "S", "N", "N", 999}, {4, "I", "N", "N", 10}, {6, "C", "Y", "Y", 100}};

// Seven employees; the first four are the payroll report's worked example.
const QList<wagesheet::EmpRecord> Employees = worked::employees() + QList<wagesheet::EmpRecord>{
    {"A123", 2, 3, 0}, {"G100", 4, 4, 4}, {"E555", 1, 1, 1}};

// Answers any message box that opens while a benchmark runs (a click that
// is refused opens one modally), and remembers that one did.
class BoxWatch {
public:
    BoxWatch()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (QMessageBox *box = driver::openMessageBox()) {
                m_seen = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        m_poll.start(0);
    }
    QString seen() const { return m_seen; }

private:
    QTimer m_poll;
    QString m_seen;
};

void fillBoxes(QWidget *form, const std::initializer_list<std::pair<const char *, QString>> &texts)
{
    for (const auto &[box, text] : texts)
        child<QLineEdit>(form, box)->setText(text);
}

QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(CRLF);
    if (lines.isEmpty() || !lines.last().isEmpty())
        qFatal("report text does not end in CRLF");
    lines.removeLast();
    return lines;
}

} // namespace

class Bench : public QObject {
    Q_OBJECT

private slots:
    // Filling the five boxes and emptying them again: what the next
    // benchmark's loop does besides the click's own work (the accepted click
    // empties the boxes itself).
    void tollsheetFillBoxes()
    {
        tollsheet::Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QBENCHMARK {
            fillBoxes(&form, {{"Text1", "3"}, {"Text2", "S"}, {"Text3", "Y"}, {"Text4", "N"}, {"Text5", "120"}});
            for (const char *box : {"Text1", "Text2", "Text3", "Text4", "Text5"})
                child<QLineEdit>(&form, box)->clear();
        }
    }

    // One valid subscriber in the boxes, one click of "입력". The table is
    // emptied every time, so the entry is always accepted.
    void tollsheetEntryClick()
    {
        using namespace tollsheet;
        QApplication::setApplicationName(QStringLiteral("tollsheet"));
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *command1 = child<QPushButton>(&form, "Command1");
        BoxWatch watch;
        QBENCHMARK {
            Module1::CustTable = {};
            Module1::CustCount = 0;
            fillBoxes(&form, {{"Text1", "3"}, {"Text2", "s"}, {"Text3", "Y"}, {"Text4", "n"}, {"Text5", "120"}});
            QTest::mouseClick(command1, Qt::LeftButton);
        }
        QCOMPARE(watch.seen(), QString());
        QCOMPARE(Module1::CustCount, 1);
        QCOMPARE(Module1::CustTable(1), (CustRecord{3, "S", "Y", "N", 120}));
        for (const char *box : {"Text1", "Text2", "Text3", "Text4", "Text5"})
            QVERIFY2(child<QLineEdit>(&form, box)->text().isEmpty(), box);
    }

    // The same entry without the form: the checks and the store alone, the
    // part of the click that is the program's own rules.
    void tollsheetEntryRules()
    {
        using namespace tollsheet;
        const std::array<QString, 5> boxes = {"3", "s", "Y", "n", "120"};
        std::optional<Refusal> refusal;
        QBENCHMARK {
            Module1::CustTable = {};
            Module1::CustCount = 0;
            refusal = enterSubscriber(boxes);
        }
        QVERIFY(!refusal);
        QCOMPARE(Module1::CustCount, 1);
        QCOMPARE(Module1::CustTable(1), (CustRecord{3, "S", "Y", "N", 120}));
    }

    void wagesheetFillBoxes()
    {
        wagesheet::Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QBENCHMARK {
            fillBoxes(&form, {{"text1", "b012"}, {"text2", "1"}, {"text3", "2"}, {"text4", "3"}});
            for (const char *box : {"text1", "text2", "text3", "text4"})
                child<QLineEdit>(&form, box)->clear();
        }
    }

    // One valid employee in the boxes, one click of "입력".
    void wagesheetEntryClick()
    {
        using namespace wagesheet;
        QApplication::setApplicationName(QStringLiteral("wagesheet"));
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *cmdIn = child<QPushButton>(&form, "CmdIn");
        BoxWatch watch;
        QBENCHMARK {
            Module1::EmpTable = EmpTableType();
            Module1::EmpCount = 0;
            fillBoxes(&form, {{"text1", "b012"}, {"text2", "1"}, {"text3", "2"}, {"text4", "3"}});
            QTest::mouseClick(cmdIn, Qt::LeftButton);
        }
        QCOMPARE(watch.seen(), QString());
        QCOMPARE(Module1::EmpCount, 1);
        QCOMPARE(Module1::EmpTable(1), (EmpRecord{"B012", 1, 2, 3}));
        for (const char *box : {"text1", "text2", "text3", "text4"})
            QVERIFY2(child<QLineEdit>(&form, box)->text().isEmpty(), box);
    }

    void wagesheetEntryRules()
    {
        using namespace wagesheet;
        const std::array<QString, 4> boxes = {"b012", "1", "2", "3"};
        std::optional<Refusal> refusal;
        QBENCHMARK {
            Module1::EmpTable = EmpTableType();
            Module1::EmpCount = 0;
            refusal = enterEmployee(boxes);
        }
        QVERIFY(!refusal);
        QCOMPARE(Module1::EmpCount, 1);
        QCOMPARE(Module1::EmpTable(1), (EmpRecord{"B012", 1, 2, 3}));
    }

    // The billing report of seven subscribers. The report sorts the table in
    // place, so each round starts again from the unsorted one.
    void tollsheetReport()
    {
        using namespace tollsheet;
        CustTableType unsorted, table;
        QCOMPARE(worked::fill(unsorted, Subscribers), 7);
        ReportBoxes boxes;
        QBENCHMARK {
            table = unsorted;
            boxes = ReportBoxes();
            buildBillingReport(table, 7, boxes);
        }
        const QStringList listing = linesOf(boxes.Text1);
        const QStringList bills = linesOf(boxes.Text2);
        QCOMPARE(listing.size(), 1 + 7);
        QCOMPARE(bills.size(), 3 + 7);
        for (int i = 0; i < 7; ++i) {
            QVERIFY2(listing[1 + i].startsWith(b(6) + QString::number(Subscribers[i].CustNo) + b(10)),
                     qPrintable(listing[1 + i]));
            QVERIFY2(bills[3 + i].startsWith(b(6) + QString::number(i + 1) + b(6)), qPrintable(bills[3 + i]));
            QCOMPARE(table(i + 1).CustNo, i + 1);
        }
        COMPARE_TEXT(worked::Box::join(bills.mid(3, 3)), worked::Box::join(worked::Tollsheet.Text2.lines));
    }

    // The payroll report of seven employees.
    void wagesheetReport()
    {
        using namespace wagesheet;
        EmpTableType table;
        QCOMPARE(worked::fill(table, Employees), 7);
        ReportBoxes boxes;
        QBENCHMARK {
            boxes = ReportBoxes();
            buildPayrollReport(table, 7, boxes);
        }
        const QStringList listing = linesOf(boxes.Text1);
        const QStringList pay = linesOf(boxes.Text2);
        QCOMPARE(listing.size(), 1 + 7);
        QCOMPARE(pay.size(), 1 + 7);
        for (int i = 0; i < 7; ++i) {
            QVERIFY2(listing[1 + i].startsWith(b(5) + Employees[i].EmpNo + b(1)), qPrintable(listing[1 + i]));
            QVERIFY2(pay[1 + i].startsWith(b(5) + Employees[i].EmpNo + b(2)), qPrintable(pay[1 + i]));
        }
        COMPARE_TEXT(worked::Box::join(pay.mid(1, 4)), worked::Box::join(worked::Wagesheet.Text2.lines));
    }

    // "PDF로 저장..." past its dialog: the report form of seven records
    // written to a file, fonts embedded.
    void tollsheetReportPdf()
    {
        using namespace tollsheet;
        Module1::CustCount = worked::fill(Module1::CustTable, Subscribers);
        Form2 form;
        runtime::ShowForm(form, runtime::Modality::Modeless);
        writePdf(form, 7);
    }
    void wagesheetReportPdf()
    {
        using namespace wagesheet;
        Module1::EmpCount = worked::fill(Module1::EmpTable, Employees);
        Form2 form;
        runtime::ShowForm(form, runtime::Modality::Modeless);
        writePdf(form, 7);
    }

private:
    static void writePdf(QWidget &form, int records)
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("report.pdf"));
        auto *printer = form.findChild<runtime::ReportPrinter *>();
        bool written = true;
        QBENCHMARK {
            written = printer->writePdf(path) && written;
        }
        form.close();
        QVERIFY(written);
        QCOMPARE(pdf::info(path, QStringLiteral("Pages")), QStringLiteral("1"));
        // Every record's line in each box, beside the headings and captions.
        QVERIFY(pdf::pages(path).value(0).count(u'\n') >= 2 * records + 5);
    }
};

QTEST_MAIN(Bench)
#include "bench_clicks.moc"
