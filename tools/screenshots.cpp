// Renders each program's forms to PNG files straight from the real widgets,
// each report holding its program's worked example (tests/worked-examples.json):
//   screenshots tollsheet <folder> <time printed, as 2026-12-07T14:03>
//   screenshots wagesheet <folder>
// For tollsheet also the printed report's page: the report form's PDF, with
// the time given as the time of printing, rendered by pdftoppm at 80 dpi.
// scripts/screenshots renders every picture of docs/ with it.
#include "FormDriver.h"
#include "WorkedExamples.h"
#include "runtime/desktop/PrintActions.h"
#include "runtime/desktop/PdfWriter.h"
#include "tollsheet/Form1.h"
#include "wagesheet/Form1.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

bool save(QWidget *form, const QString &path)
{
    QCoreApplication::processEvents();
    return QTest::qWaitForWindowExposed(form) && form->grab().save(path);
}

// The report form's first page, printed at `printedAt`, as `path` (a PNG).
bool savePrinted(QWidget *form, const QDateTime &printedAt, const QString &path)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("page.pdf"));
    if (const QString error = runtime::writeReportPdf(pdf, form->findChild<runtime::ReportPrinter *>()->report(printedAt));
        !error.isEmpty()) {
        qWarning("cannot write %s: %s", qPrintable(pdf), qPrintable(error));
        return false;
    }
    const QString stem = QString(path).chopped(4); // pdftoppm adds ".png"
    return QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                                                          QStringLiteral("-singlefile"), pdf, stem})
           == 0;
}

void typeRow(QWidget *form, const char *const boxes[], const QStringList &row)
{
    for (int i = 0; i < row.size(); ++i)
        driver::type(form, boxes[i], row[i]);
}

int shootTollsheet(const QDir &out, const QDateTime &printedAt)
{
    const char *const boxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5"};
    tollsheet::Form1 form;
    form.show();
    for (const QStringList &row : worked::Tollsheet.records) {
        typeRow(&form, boxes, row);
        driver::click(&form, "Command1");
    }
    bool ok = false;
    driver::clickAnswering(&form, "Command2", QStringLiteral("Form2"), [&](QWidget *report) {
        ok = save(report, out.filePath(QStringLiteral("tollsheet-report.png")))
             && savePrinted(report, printedAt, out.filePath(QStringLiteral("tollsheet-print.png")));
    });
    typeRow(&form, boxes, {"4", "f", "y", "n", "250"});
    return ok && save(&form, out.filePath(QStringLiteral("tollsheet-entry.png"))) ? 0 : 1;
}

int shootWagesheet(const QDir &out)
{
    const char *const boxes[] = {"text1", "text2", "text3", "text4"};
    wagesheet::Form1 form;
    form.show();
    for (const QStringList &row : worked::Wagesheet.records) {
        typeRow(&form, boxes, row);
        driver::click(&form, "CmdIn");
    }
    driver::click(&form, "CmdOut");
    QWidget *report = driver::visibleTopLevel(QStringLiteral("Form2"));
    const bool ok = report && save(report, out.filePath(QStringLiteral("wagesheet-report.png")));
    typeRow(&form, boxes, {"a1", "4", "", ""});
    return ok && save(&form, out.filePath(QStringLiteral("wagesheet-entry.png"))) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    // The pictures of docs/ belong to the Qt that rendered them.
    if (argc == 2 && std::strcmp(argv[1], "--qt-version") == 0) {
        std::puts(qVersion());
        return 0;
    }
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    const QString program = arguments.value(0);
    QApplication::setApplicationName(program);
    // A caret that blinks would be caught on or off by chance.
    QApplication::setCursorFlashTime(0);
    const QDir out(arguments.value(1));
    const QDateTime printedAt = QDateTime::fromString(arguments.value(2), Qt::ISODate);
    if (program == u"tollsheet" && arguments.size() == 3 && printedAt.isValid())
        return shootTollsheet(out, printedAt);
    if (program == u"wagesheet" && arguments.size() == 2)
        return shootWagesheet(out);
    qWarning("usage: screenshots tollsheet <folder> <time printed, as 2026-12-07T14:03>\n"
             "       screenshots wagesheet <folder>\n"
             "       screenshots --qt-version");
    return 2;
}
