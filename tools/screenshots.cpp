// Renders each program's forms to PNG files, filled with a worked example,
// straight from the real widgets: screenshots tollsheet|wagesheet <folder>.
// For tollsheet also the printed report's page, written as a PDF by the
// report form and rendered by pdftoppm at 80 dpi.
#include "FormDriver.h"
#include "runtime/Printing.h"
#include "tollsheet/Form1.h"
#include "wagesheet/Form1.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

bool save(QWidget *form, const QString &path)
{
    QCoreApplication::processEvents();
    return QTest::qWaitForWindowExposed(form) && form->grab().save(path);
}

// The report form's first printed page as `path` (a PNG).
bool savePrinted(QWidget *form, const QString &path)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("page.pdf"));
    if (!form->findChild<runtime::ReportPrinter *>()->writePdf(pdf))
        return false;
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

int shootTollsheet(const QDir &out)
{
    const char *const boxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5"};
    tollsheet::Form1 form;
    form.show();
    for (const QStringList &row : {QStringList{"3", "S", "Y", "N", "120"}, QStringList{"1", "I", "Y", "Y", "500"},
                                   QStringList{"2", "C", "N", "N", "0"}}) {
        typeRow(&form, boxes, row);
        driver::click(&form, "Command1");
    }
    bool ok = false;
    driver::clickAnswering(&form, "Command2", QStringLiteral("Form2"), [&](QWidget *report) {
        ok = save(report, out.filePath(QStringLiteral("tollsheet-report.png")))
             && savePrinted(report, out.filePath(QStringLiteral("tollsheet-print.png")));
    });
    typeRow(&form, boxes, {"4", "f", "y", "n", "250"});
    return ok && save(&form, out.filePath(QStringLiteral("tollsheet-entry.png"))) ? 0 : 1;
}

int shootWagesheet(const QDir &out)
{
    const char *const boxes[] = {"text1", "text2", "text3", "text4"};
    wagesheet::Form1 form;
    form.show();
    for (const QStringList &row : {QStringList{"B012", "1", "2", "3"}, QStringList{"H512", "4", "4", "5"},
                                   QStringList{"C911", "2", "1", "1"}}) {
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
    QApplication app(argc, argv);
    const QString program = argc == 3 ? QString::fromLocal8Bit(argv[1]) : QString();
    QApplication::setApplicationName(program);
    const QDir out(argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString());
    if (program == u"tollsheet")
        return shootTollsheet(out);
    if (program == u"wagesheet")
        return shootWagesheet(out);
    qWarning("usage: screenshots tollsheet|wagesheet <folder>");
    return 2;
}
