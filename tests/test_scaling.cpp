// Both programs' forms at the scale QT_SCALE_FACTOR sets (CTest runs this at
// 1, 1.5 and 2): the twip layout keeps its proportions, every caption fits its
// control, every box takes clicks over its whole rectangle, and the billing
// report's columns still line up.
#include "FormDriver.h"
#include "WorkedExamples.h"
#include "runtime/forms/Fonts.h"
#include "tollsheet/Form1.h"
#include "tollsheet/Form2.h"
#include "wagesheet/Form1.h"
#include "wagesheet/Form2.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

qreal scale() { return qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble(); }

// True when a caption's strokes stay off its label's bottom and right edges;
// a caption cut off there leaves dark pixels on the edge, where a caption
// that fits leaves at most the faint fringe of its smoothing.
bool captionInside(QLabel *label)
{
    const QImage image = label->grab().toImage();
    const int background = qGray(label->palette().color(QPalette::Window).rgb());
    const int text = qGray(label->palette().color(QPalette::WindowText).rgb());
    auto dark = [&](int x, int y) { return std::abs(qGray(image.pixel(x, y)) - background) > std::abs(text - background) / 3; };
    for (int x = 0; x < image.width(); ++x) {
        if (dark(x, image.height() - 1))
            return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        if (dark(image.width() - 1, y))
            return false;
    }
    return true;
}

// Renders a form and checks its size in device pixels, and that no caption
// is cut off by its control.
void checkForm(QWidget *form, QSize logical)
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->size(), logical);
    const QImage image = form->grab().toImage();
    QCOMPARE(image.size(), (QSizeF(logical) * scale()).toSize());

    for (QLabel *label : form->findChildren<QLabel *>())
        QVERIFY2(captionInside(label), qPrintable(label->objectName()));
    for (QAbstractButton *button : form->findChildren<QAbstractButton *>())
        QVERIFY2(QFontMetricsF(button->font()).horizontalAdvance(button->text()) < button->width() - 8,
                 qPrintable(button->objectName()));
    for (QGroupBox *frame : form->findChildren<QGroupBox *>())
        QVERIFY(QFontMetricsF(frame->font()).horizontalAdvance(frame->title()) < frame->width());
    for (QWidget *child : form->findChildren<QWidget *>())
        QVERIFY2(form->rect().contains(child->geometry()) || child->parentWidget() != form, qPrintable(child->objectName()));

    // Every point of a box's rectangle reaches the box, not a label over it.
    for (QWidget *box : form->findChildren<QWidget *>()) {
        if (!qobject_cast<QLineEdit *>(box) && !qobject_cast<QPlainTextEdit *>(box))
            continue;
        const QRect area = box->rect();
        for (QPoint point : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight(), area.center()}) {
            QWidget *hit = form->childAt(box->mapTo(form, point));
            QVERIFY2(hit == box || box->isAncestorOf(hit), qPrintable(box->objectName()));
        }
    }
}

} // namespace

class ScalingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), scale()); }

    void formsKeepTheirProportions()
    {
        tollsheet::Form1 toll1;
        checkForm(&toll1, QSize(345, 263));
        tollsheet::Form2 toll2;
        checkForm(&toll2, QSize(521, 357));
        wagesheet::Form1 wage1;
        checkForm(&wage1, QSize(208, 181));
        wagesheet::Form2 wage2;
        checkForm(&wage2, QSize(438, 280));
    }

    // In the report font every character of the worked report stands on a
    // grid of equal columns, a Hangul syllable on two, at device pixels too.
    void reportColumnsLineUp()
    {
        const QFontMetricsF metrics(runtime::reportFont());
        const qreal column = metrics.horizontalAdvance(QLatin1Char('0'));
        const worked::Box &report = worked::Tollsheet.Text2;
        for (const QString &line : report.heading + report.lines) {
            int columns = 0;
            for (qsizetype i = 0; i <= line.size(); ++i) {
                QCOMPARE(metrics.horizontalAdvance(line.left(i)), columns * column);
                if (i < line.size())
                    columns += worked::columnsOf(line[i]);
            }
        }
        QCOMPARE(std::fmod(column * scale(), 1.0), 0.0); // whole device pixels per column
    }
};

QTEST_MAIN(ScalingTest)
#include "test_scaling.moc"
