// Renders each program's forms to PNG files, filled with a worked example,
// straight from the real widgets: screenshots <program> <output folder>.
#include "tollsheet/Form1.h"
#include "wagesheet/Form1.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

void type(QWidget *form, const char *box, const QString &text)
{
    QTest::keyClicks(form->findChild<QLineEdit *>(QLatin1String(box)), text);
}

void click(QWidget *form, const char *button)
{
    QTest::mouseClick(form->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

QWidget *topLevel(const char *name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->objectName() == QLatin1String(name))
            return widget;
    }
    return nullptr;
}

bool save(QWidget *form, const QString &path)
{
    QApplication::processEvents();
    return form->grab().save(path);
}

int shootTollsheet(const QDir &out)
{
    tollsheet::Form1 form;
    form.show();
    bool ok = QTest::qWaitForWindowExposed(&form);
    const QStringList rows[] = {{"3", "S", "Y", "N", "120"}, {"1", "I", "Y", "Y", "500"}, {"2", "C", "N", "N", "0"}};
    for (const QStringList &row : rows) {
        for (int i = 0; i < 5; ++i)
            type(&form, QByteArray("Text" + QByteArray::number(i + 1)).constData(), row[i]);
        click(&form, "Command1");
    }
    type(&form, "Text1", QStringLiteral("4"));
    type(&form, "Text2", QStringLiteral("f"));
    QTimer::singleShot(0, [&] {
        QWidget *report = topLevel("Form2");
        ok = report && QTest::qWaitForWindowExposed(report) && save(report, out.filePath(QStringLiteral("tollsheet-report.png"))) && ok;
        if (report)
            report->close();
    });
    click(&form, "Command2");
    ok = save(&form, out.filePath(QStringLiteral("tollsheet-entry.png"))) && ok;
    return ok ? 0 : 1;
}

int shootWagesheet(const QDir &out)
{
    wagesheet::Form1 form;
    form.show();
    bool ok = QTest::qWaitForWindowExposed(&form);
    const QStringList rows[] = {{"B012", "1", "2", "3"}, {"H512", "4", "4", "5"}, {"C911", "2", "1", "1"}};
    for (const QStringList &row : rows) {
        for (int i = 0; i < 4; ++i)
            type(&form, QByteArray("text" + QByteArray::number(i + 1)).constData(), row[i]);
        click(&form, "CmdIn");
    }
    click(&form, "CmdOut");
    QWidget *report = topLevel("Form2");
    ok = report && QTest::qWaitForWindowExposed(report) && save(report, out.filePath(QStringLiteral("wagesheet-report.png"))) && ok;
    type(&form, "text1", QStringLiteral("a1"));
    type(&form, "text2", QStringLiteral("4"));
    ok = save(&form, out.filePath(QStringLiteral("wagesheet-entry.png"))) && ok;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        qWarning("usage: screenshots tollsheet|wagesheet <output folder>");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    QApplication::setApplicationName(program);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    if (program == u"tollsheet")
        return shootTollsheet(out);
    if (program == u"wagesheet")
        return shootWagesheet(out);
    qWarning("unknown program");
    return 2;
}
