// The billing report: its exact text, its columns, the sort, and its form.
#include "FormDriver.h"
#include "Model.h"
#include "Pdf.h"
#include "WorkedExamples.h"
#include "runtime/rules/Results.h"
#include "runtime/forms/Fonts.h"
#include "runtime/desktop/PrintActions.h"
#include "tollsheet/Billing.h"
#include "tollsheet/Form1.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLocale>
#include <QRawFont>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace tollsheet;
using runtime::CRLF;
using runtime::ReportBoxes;

namespace {

QString b(int count) { return QString(count, u' '); }

const worked::Example &Worked = worked::Tollsheet;
const QString ListingHeading = Worked.Text1.headingText();
const QString ReportHeading = Worked.Text2.headingText();
const QList<CustRecord> WorkedExample = worked::subscribers();
const QString WorkedListing = Worked.Text1.text();
const QString WorkedReport = Worked.Text2.text();
// The listing of the table the report left sorted: the worked example's
// records in the order `workedExample` checks.
const QString SortedListing = ListingHeading + worked::Box::join({Worked.Text1.lines[1], Worked.Text1.lines[2], Worked.Text1.lines[0]});

// The report of `records`; the table it leaves sorted and the model's report, when asked for.
ReportBoxes report(const QList<CustRecord> &records, CustTableType *sorted = nullptr,
                   model::Report<CustTableType> *expected = nullptr)
{
    CustTableType table;
    const Integer count = worked::fill(table, records);
    if (expected)
        *expected = model::billingReport(table, count);
    ReportBoxes boxes;
    buildBillingReport(table, count, boxes);
    if (sorted)
        *sorted = table;
    return boxes;
}

// The text a line shows in display columns first..last (counted from 0), where
// a Hangul syllable takes two columns and any other character one.
QString columns(const QString &line, int first, int last)
{
    QString shown;
    int column = 0;
    for (QChar c : line) {
        const int width = worked::columnsOf(c);
        if (column >= first && column + width - 1 <= last)
            shown += c;
        column += width;
    }
    return shown;
}

QStringList lines(const QString &text) { return text.split(CRLF); }

// The words of a line, each with the column it starts in, where a Hangul
// syllable takes `hangulColumns` columns: two in the box, one in the text
// pdftotext reads from a page (which puts each word at the character position
// its place on the page gives).
struct Word {
    QString text;
    int column;
    bool operator==(const Word &) const = default;
};
QList<Word> words(const QString &line, int hangulColumns = 2)
{
    QList<Word> found;
    int column = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != u' ' && (i == 0 || line[i - 1] == u' '))
            found.append({QString(line[i]), column});
        else if (line[i] != u' ')
            found.last().text += line[i];
        column += worked::columnsOf(line[i], hangulColumns);
    }
    return found;
}
QString withoutBlanks(QString line) { return line.remove(u' '); }

} // namespace

Q_DECLARE_METATYPE(tollsheet::CustRecord)

class ReportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("tollsheet")); }
    void init()
    {
        Module1::CustTable = {};
        Module1::CustCount = 0;
    }

    void workedExample()
    {
        CustTableType sorted;
        const ReportBoxes boxes = report(WorkedExample, &sorted);
        COMPARE_TEXT(boxes.Text1, WorkedListing);
        COMPARE_TEXT(boxes.Text2, WorkedReport);
        QCOMPARE(sorted(1), WorkedExample[1]);
        QCOMPARE(sorted(2), WorkedExample[2]);
        QCOMPARE(sorted(3), WorkedExample[0]);
    }

    void emptyTable()
    {
        const ReportBoxes boxes = report({});
        COMPARE_TEXT(boxes.Text1, ListingHeading);
        COMPARE_TEXT(boxes.Text2, ReportHeading);
    }

    // Equal numbers keep no order, and an unmatched grade never takes the
    // tariff of the subscriber before it.
    void equalNumbersAndUnmatchedGrades()
    {
        const QList<CustRecord> entered = {{2, "A", "Y", "N", 10}, {2, "S", "N", "Y", 300}, {1, "Q", "N", "N", 5}};
        CustTableType sorted;
        model::Report<CustTableType> expected;
        const ReportBoxes boxes = report(entered, &sorted, &expected);
        COMPARE_TEXT(boxes.Text1, expected.text1);
        QCOMPARE(sorted(1), entered[2]);
        QCOMPARE(sorted(2), entered[1]);
        QCOMPARE(sorted(3), entered[0]);
        COMPARE_TEXT(boxes.Text2, expected.text2);
        COMPARE_TEXT(boxes.table.rows.value(0), (QStringList{"1", "", "0", "0", "0", ""}));
        COMPARE_TEXT(boxes.table.rows.value(2).mid(0, 3), (QStringList{"2", "", "0"})); // A, after S
    }

    void sortMovesOnlyGreaterNumbers()
    {
        CustTableType sorted;
        report({{9, "S", "Y", "Y", 1}, {0, "S", "Y", "Y", 2}, {9, "S", "Y", "Y", 3}, {5, "S", "Y", "Y", 4},
                {0, "S", "Y", "Y", 5}, {7, "S", "Y", "Y", 6}, {1, "S", "Y", "Y", 7}},
               &sorted);
        QList<int> order;
        for (int i = 1; i <= 7; ++i)
            order << sorted(i).CustNo * 10 + sorted(i).CallTime;
        QCOMPARE(order, (QList<int>{2, 5, 17, 54, 76, 91, 93}));
    }

    // One subscriber's line as the model gives it, each amount right-aligned.
    void charges_data()
    {
        QTest::addColumn<CustRecord>("subscriber");
        QTest::addColumn<QString>("remark");
        QTest::newRow("S at tier limit") << CustRecord{1, "S", "N", "N", 250} << "";
        QTest::newRow("S past tier limit") << CustRecord{1, "S", "N", "N", 251} << "";
        QTest::newRow("S discount 999") << CustRecord{1, "S", "N", "N", 333} << "";
        QTest::newRow("S discount 1002") << CustRecord{1, "S", "N", "N", 334} << "우수";
        QTest::newRow("F at tier limit") << CustRecord{1, "F", "N", "Y", 200} << "";
        QTest::newRow("F past tier limit") << CustRecord{1, "F", "Y", "N", 201} << "";
        QTest::newRow("F discount 999") << CustRecord{1, "F", "N", "N", 333} << "";
        QTest::newRow("F discount 1002") << CustRecord{1, "F", "N", "N", 334} << "우수";
        QTest::newRow("I discount 998") << CustRecord{1, "I", "N", "N", 499} << "";
        QTest::newRow("I discount 1000") << CustRecord{1, "I", "N", "N", 500} << "우수";
        QTest::newRow("largest bill") << CustRecord{9, "I", "Y", "Y", 999} << "우수";
        QTest::newRow("C at tier limit") << CustRecord{1, "C", "N", "N", 100} << "";
        QTest::newRow("C past tier limit") << CustRecord{1, "C", "N", "N", 101} << "";
        QTest::newRow("C never excellent") << CustRecord{1, "C", "N", "N", 999} << "";
        QTest::newRow("no time") << CustRecord{1, "C", "N", "Y", 0} << "";
        QTest::newRow("flags compared exactly") << CustRecord{1, "S", "y", "YES", 0} << "";
    }
    void charges()
    {
        QFETCH(CustRecord, subscriber);
        QFETCH(QString, remark);
        model::Report<CustTableType> expected;
        const ReportBoxes boxes = report({subscriber}, nullptr, &expected);
        COMPARE_TEXT(boxes.Text2, expected.text2);
        COMPARE_TEXT(boxes.table.rows.value(0), expected.rows.value(0));
        QCOMPARE(boxes.table.rows.size(), 1);
        const QString line = lines(boxes.Text2).at(3);
        const QStringList row = boxes.table.rows.value(0);
        QCOMPARE(columns(line, 0, 12), b(6) + QString::number(subscriber.CustNo) + b(6));
        COMPARE_TEXT(columns(line, 13, 20).trimmed(), row.value(1));
        const int ends[] = {32, 45, 57};
        const QLocale grouped(QLocale::English); // digits in threes, ","
        for (int k = 0; k < 3; ++k) // right-aligned, ending in the same column
            QCOMPARE(columns(line, ends[k] - 6, ends[k]), grouped.toString(row.value(k + 2).toLongLong()).rightJustified(7));
        QCOMPARE(columns(line, 58, 61), b(4));
        COMPARE_TEXT(columns(line, 62, 65), remark);
        QVERIFY(line.endsWith(b(4) + remark));
    }

    void headingsStandOverTheirColumns()
    {
        const QStringList listing = lines(report(WorkedExample).Text1);
        COMPARE_TEXT(columns(listing[0], 3, 10), QStringLiteral("고객번호"));
        COMPARE_TEXT(columns(listing[0], 13, 20), QStringLiteral("등급코드"));
        COMPARE_TEXT(columns(listing[0], 22, 39), QStringLiteral("음성서비스가입여부"));
        COMPARE_TEXT(columns(listing[0], 41, 58), QStringLiteral("문자서비스가입여부"));
        COMPARE_TEXT(columns(listing[0], 61, 72), QStringLiteral("전화사용시간"));
        QCOMPARE(columns(listing[1], 6, 6) + columns(listing[1], 17, 17) + columns(listing[1], 30, 30)
                     + columns(listing[1], 48, 48) + columns(listing[1], 66, 68),
                 Worked.records[0].join(QString()));
        const QStringList bills = lines(report(WorkedExample).Text2);
        COMPARE_TEXT(columns(bills[2], 3, 10), QStringLiteral("고객번호"));
        COMPARE_TEXT(columns(bills[2], 14, 19), QStringLiteral("등급명"));
        COMPARE_TEXT(columns(bills[2], 23, 34), QStringLiteral("전화사용요금"));
        COMPARE_TEXT(columns(bills[2], 38, 47), QStringLiteral("서비스요금"));
        COMPARE_TEXT(columns(bills[2], 51, 58), QStringLiteral("청구금액"));
        COMPARE_TEXT(columns(bills[2], 62, 65), QStringLiteral("비고"));
    }

    void errorKeepsLinesWrittenSoFar()
    {
        CustTableType table;
        Module1::CustCount = worked::fill(table, WorkedExample);
        ReportBoxes boxes;
        try {
            buildBillingReport(table, 8, boxes);
            QFAIL("a count past the table's end must raise the subscript error");
        } catch (const runtime::RuntimeError &error) {
            QCOMPARE(error.kind(), runtime::RuntimeError::Kind::SubscriptOutOfRange);
        }
        QCOMPARE(lines(boxes.Text1).size(), 1 + 7 + 1);
        COMPARE_TEXT(boxes.Text2, ReportHeading);
        QCOMPARE(boxes.table.rows.size(), 0);
        QCOMPARE(table(1), WorkedExample[0]); // not sorted
    }

    // The real forms: the report opens from "출력", and a second opening
    // lists the table as the first one left it.
    void reportFormOpensTwice()
    {
        Form1 entry;
        entry.show();
        for (const QStringList &record : Worked.records) {
            for (int box = 0; box < record.size(); ++box)
                driver::type(&entry, qPrintable(QStringLiteral("Text%1").arg(box + 1)), record[box]);
            driver::click(&entry, "Command1");
        }
        QCOMPARE(Module1::CustCount, Integer(3));

        ReportBoxes first, second;
        auto read = [](ReportBoxes &into) {
            return [&into](QWidget *form) {
                into.Text1 = driver::child<runtime::MultiLineBox>(form, "Text1")->Text();
                into.Text2 = driver::child<runtime::MultiLineBox>(form, "Text2")->Text();
                QCOMPARE(form->windowTitle(), QStringLiteral("Form2"));
                COMPARE_TEXT(driver::child<QGroupBox>(form, "Frame1")->title(), QStringLiteral("입력된 자료"));
                COMPARE_TEXT(driver::child<QGroupBox>(form, "Frame2")->title(), QStringLiteral("출력자료"));
                COMPARE_TEXT(driver::child(form, "Text1")->accessibleName(), QStringLiteral("입력된 자료"));
                COMPARE_TEXT(driver::child(form, "Text2")->accessibleName(), QStringLiteral("출력자료"));
                QCOMPARE(QFontInfo(driver::child(form, "Text2")->font()).family(), QStringLiteral("NanumGothicCoding"));
                QCOMPARE(driver::child(form, "Text2")->geometry(), QRect(8, 16, 473, 129));
                QCOMPARE(form->size(), QSize(521, 357));
            };
        };
        driver::clickAnswering(&entry, "Command2", QStringLiteral("Form2"), read(first));
        COMPARE_TEXT(first.Text1, WorkedListing);
        COMPARE_TEXT(first.Text2, WorkedReport);

        driver::clickAnswering(&entry, "Command2", QStringLiteral("Form2"), read(second));
        COMPARE_TEXT(second.Text1, SortedListing);
        COMPARE_TEXT(second.Text2, WorkedReport);
    }

    void errorInReportIsShownAndReportStillOpens()
    {
        Form1 entry;
        entry.show();
        worked::fill(Module1::CustTable, WorkedExample);
        Module1::CustCount = 8; // a count no entry can reach
        QString listing;
        const driver::Shown shown = driver::clickAnswering(&entry, "Command2", QStringLiteral("Form2"), [&](QWidget *form) {
            listing = driver::child<runtime::MultiLineBox>(form, "Text1")->Text();
        });
        QVERIFY(shown.seen);
        QCOMPARE(shown.title, QStringLiteral("tollsheet"));
        QCOMPARE(shown.text, runtime::RuntimeError(runtime::RuntimeError::Kind::SubscriptOutOfRange).description());
        COMPARE_TEXT(listing.left(WorkedListing.size()), WorkedListing);
    }

    // Ctrl+Shift+C in the report puts its bills on the clipboard as a table,
    // amounts as plain integers; what is typed into a box changes no cell.
    // SHEETS_COPIED_HTML names a file for the HTML (tools/spreadsheet-check.sh).
    void copiesTheTable()
    {
        Form1 entry;
        entry.show();
        Module1::CustCount = worked::fill(Module1::CustTable, WorkedExample);
        driver::copy(QString());
        driver::clickAnswering(&entry, "Command2", QStringLiteral("Form2"), [&](QWidget *form) {
            QVERIFY(QTest::qWaitForWindowActive(form));
            QTest::keyClicks(driver::child(form, "Text2"), QStringLiteral("9"));
            QTest::keyClick(driver::child(form, "Text1"), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        });
        const QMimeData *copied = QApplication::clipboard()->mimeData();
        // A billing line's cells: number, grade name (blanks inside), three amounts, remark.
        const worked::Copied wanted = worked::copied(Worked.Text2, QRegularExpression(QStringLiteral(
            "^ {6}(\\d+) {6}(.+?) {5} *([\\d,]+) {6} *([\\d,]+) {5} *([\\d,]+) {4}(.*)$")));
        COMPARE_TEXT(copied->text(), wanted.text);
        COMPARE_TEXT(copied->html(), wanted.html);
        if (QFile html(qEnvironmentVariable("SHEETS_COPIED_HTML")); !html.fileName().isEmpty())
            QVERIFY(html.open(QIODevice::WriteOnly) && html.write(copied->html().toUtf8()) > 0);
    }

    // The report form's PDF, read back with the tools a user has: one A4
    // page, the fonts embedded, and every line of both boxes in order, each
    // word starting in the column it starts in in the box.
    void printsTheReportAsPdf()
    {
        Form1 entry;
        entry.show();
        Module1::CustCount = worked::fill(Module1::CustTable, WorkedExample);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("report.pdf"));
        bool written = false;
        QStringList times;
        driver::clickAnswering(&entry, "Command2", QStringLiteral("Form2"), [&](QWidget *form) {
            times << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
            written = form->findChild<runtime::ReportPrinter *>()->writePdf(path);
            times << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        });
        QVERIFY(written);
        SKIP_READING_PDF_ON_WINDOWS();
        QCOMPARE(pdf::info(path, QStringLiteral("Pages")), QStringLiteral("1"));
        QCOMPARE(pdf::info(path, QStringLiteral("Page size")), QStringLiteral("595 x 842 pts (A4)"));
        const QMap<QString, bool> fonts = pdf::fonts(path);
        QVERIFY2(fonts.value(QStringLiteral("NanumGothicCoding")), qPrintable(QStringList(fonts.keys()).join(u',')));
        QVERIFY(!fonts.values().contains(false));

        // Read in the columns of the box's font at 9 pt: a word's column on
        // paper is its column in the box, moved right by the margin.
        QRawFont font = QRawFont::fromFont(runtime::reportFont());
        font.setPixelSize(9);
        const qreal column = font.advancesForGlyphIndexes(font.glyphIndexesForString(QStringLiteral("0"))).at(0).x();
        const QStringList page = pdf::pages(path, column).value(0).split(u'\n');
        const QString heading = page.value(0).simplified();
        QVERIFY2(heading == QStringLiteral("전화요금 청구서 인쇄일시 ") + times[0]
                     || heading == QStringLiteral("전화요금 청구서 인쇄일시 ") + times[1],
                 qPrintable(heading));
        QStringList expected = {QStringLiteral("입력된 자료")};
        expected += lines(WorkedListing);
        expected += QStringLiteral("출력자료");
        expected += lines(WorkedReport);
        expected += QStringLiteral("1 / 1");
        const int margin = words(page.value(0), 1).value(0).column; // the title's column
        int at = 1;
        for (const QString &line : expected) {
            if (line.trimmed().isEmpty())
                continue;
            while (at < page.size() && withoutBlanks(page[at]) != withoutBlanks(line))
                ++at;
            QVERIFY2(at < page.size(), qPrintable(QStringLiteral("missing or out of order: ") + line));
            if (line.startsWith(u' ')) { // a box line
                QList<Word> onPaper = words(page[at], 1);
                for (Word &word : onPaper)
                    word.column -= margin;
                QCOMPARE(onPaper, words(line));
            }
            ++at;
        }
    }

    // Ctrl+P and Ctrl+Shift+S open their dialogs from either box; the save
    // dialog proposes the program's name and today's date in the documents
    // folder. Cancelling writes nothing and leaves the boxes as they were.
    // The paste keys with nothing copied (X11 then hands over data with no
    // format at all) leave the box as it was; with text copied they insert it.
    void keysInTheReport_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("copied");
        QTest::newRow("print") << "Text1" << (Qt::CTRL | Qt::Key_P) << "QPrintDialog" << QString();
        QTest::newRow("save as PDF") << "Text2" << (Qt::CTRL | Qt::SHIFT | Qt::Key_S) << "QFileDialog" << QString();
        QTest::newRow("Ctrl+V, nothing copied") << "Text1" << (Qt::CTRL | Qt::Key_V) << "" << QString();
        QTest::newRow("Shift+Insert, nothing copied") << "Text2" << (Qt::SHIFT | Qt::Key_Insert) << "" << QString();
        QTest::newRow("Ctrl+V, text copied") << "Text2" << (Qt::CTRL | Qt::Key_V) << "" << "메모 ";
    }
    void keysInTheReport()
    {
        QFETCH(QString, box);
        QFETCH(QKeyCombination, keys);
        QFETCH(QString, dialog);
        QFETCH(QString, copied);
#ifdef Q_OS_WIN
        if (dialog == QLatin1String("QPrintDialog"))
            QSKIP("Windows' print dialog needs an installed printer, and wine has none");
        // Windows' own save dialog is no widget that the timer can answer: this
        // test drives Qt's, and tests/windows/end-to-end.sh the system's.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
#endif
        driver::copy(copied);
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(folder).isDir())
            folder = QDir::homePath();
        const QString proposed = QDir(folder).filePath(QDate::currentDate().toString(QStringLiteral("'tollsheet-'yyyy-MM-dd'.pdf'")));
        const bool existed = QFileInfo::exists(proposed);

        Form1 entry;
        entry.show();
        Module1::CustCount = worked::fill(Module1::CustTable, WorkedExample);
        QString opened, selected;
        ReportBoxes before, after;
        driver::clickAnswering(&entry, "Command2", QStringLiteral("Form2"), [&](QWidget *form) {
            auto *edit = driver::child<runtime::MultiLineBox>(form, qPrintable(box));
            before = {driver::child<runtime::MultiLineBox>(form, "Text1")->Text(), driver::child<runtime::MultiLineBox>(form, "Text2")->Text()};
            QTimer cancel;
            QObject::connect(&cancel, &QTimer::timeout, [&] {
                if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != form) {
                    opened = QString::fromLatin1(modal->metaObject()->className());
                    if (auto *files = qobject_cast<QFileDialog *>(modal))
                        selected = files->selectedFiles().value(0);
                    static_cast<QDialog *>(modal)->reject();
                }
            });
            cancel.start(0);
            QVERIFY(QTest::qWaitForWindowActive(form));
            edit->setFocus();
            QTest::keyClick(edit, keys.key(), keys.keyboardModifiers());
            after = {driver::child<runtime::MultiLineBox>(form, "Text1")->Text(), driver::child<runtime::MultiLineBox>(form, "Text2")->Text()};
        });
        QCOMPARE(opened, dialog);
        if (dialog == QLatin1String("QFileDialog"))
            QCOMPARE(selected, proposed);
        QCOMPARE(QFileInfo::exists(proposed), existed);
        COMPARE_TEXT(after.Text1, before.Text1);
        COMPARE_TEXT(after.Text2, copied + before.Text2);
        COMPARE_TEXT(before.Text2, WorkedReport);
    }

    // One real print: through the print dialog to a CUPS queue on the
    // cups-pdf backend. The document CUPS took holds every line of the
    // report; the PDF cups-pdf wrote at the end of CUPS's filters (text turned
    // into Type 3 glyphs by Ghostscript, so no longer readable as text) is one
    // A4 page with the ink where the document has it. tests/print/cups.sh
    // starts that CUPS, keeping job files, and names the queue, the spool and
    // cups-pdf's output folder.
    void printsThroughCups()
    {
        const QString queue = qEnvironmentVariable("SHEETS_CUPS_QUEUE");
        const QDir spool(qEnvironmentVariable("SHEETS_CUPS_SPOOL"));
        const QDir out(qEnvironmentVariable("SHEETS_CUPS_OUT"));
        if (queue.isEmpty())
            QSKIP("needs the private cupsd of tests/print/cups.sh (the CTest test print_through_cups)");

        Form1 entry;
        entry.show();
        Module1::CustCount = worked::fill(Module1::CustTable, WorkedExample);
        QStringList printers;
        bool accepted = false;
        driver::clickAnswering(&entry, "Command2", QStringLiteral("Form2"), [&](QWidget *form) {
            QTimer printDialog;
            QObject::connect(&printDialog, &QTimer::timeout, [&] {
                QWidget *modal = QApplication::activeModalWidget();
                if (!modal || !modal->inherits("QPrintDialog"))
                    return;
                for (QComboBox *list : modal->findChildren<QComboBox *>()) {
                    if (list->findText(queue) < 0)
                        continue;
                    for (int i = 0; i < list->count(); ++i)
                        printers << list->itemText(i);
                    list->setCurrentIndex(list->findText(queue));
                    accepted = true;
                }
                static_cast<QDialog *>(modal)->done(accepted ? QDialog::Accepted : QDialog::Rejected);
            });
            printDialog.start(0);
            QVERIFY(QTest::qWaitForWindowActive(form));
            driver::child<runtime::MultiLineBox>(form, "Text2")->setFocus();
            QTest::keyClick(form, Qt::Key_P, Qt::ControlModifier);
        });
        QVERIFY2(accepted, qPrintable(QStringLiteral("the print dialog lists ") + printers.join(u',')));

        // The job's document, as the program handed it to CUPS.
        const QStringList jobs = spool.entryList({QStringLiteral("d*")}, QDir::Files);
        QCOMPARE(jobs.size(), 1);
        const QString document = spool.filePath(jobs.first());
        QCOMPARE(pdf::info(document, QStringLiteral("Pages")), QStringLiteral("1"));
        const QString text = withoutBlanks(pdf::pages(document).join(QString()));
        QVERIFY(text.startsWith(QStringLiteral("전화요금청구서인쇄일시")));
        for (const QString &line : lines(WorkedListing) + lines(WorkedReport))
            QVERIFY2(text.contains(withoutBlanks(line)), qPrintable(line));

        // cups-pdf writes its PDF once the job has gone through the filters
        // and Ghostscript; pdfinfo reads it once it is whole.
        QString written;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QStringList found = out.entryList({QStringLiteral("*.pdf")}, QDir::Files);
                written = found.isEmpty() ? QString() : out.filePath(found.first());
                return !written.isEmpty() && !pdf::info(written, QStringLiteral("Pages")).isEmpty();
            }(),
            120000);
        QCOMPARE(pdf::info(written, QStringLiteral("Pages")), QStringLiteral("1"));
        QCOMPARE(pdf::info(written, QStringLiteral("Page size")), QStringLiteral("595 x 842 pts (A4)"));
        const QRect ink = pdf::inkBox(document);
        QVERIFY(ink.width() > 100 && ink.height() > 30);
        const QRect printed = pdf::inkBox(written);
        for (int edge : {printed.left() - ink.left(), printed.top() - ink.top(), printed.right() - ink.right(),
                         printed.bottom() - ink.bottom()})
            QVERIFY2(qAbs(edge) <= 2, qPrintable(QStringLiteral("ink at %1,%2 %3x%4 instead of %5,%6 %7x%8")
                                                     .arg(printed.x()).arg(printed.y()).arg(printed.width()).arg(printed.height())
                                                     .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
    }
};

QTEST_MAIN(ReportTest)
#include "test_tollsheet_report.moc"
