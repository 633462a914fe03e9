// The runtime's conversions, patterns and checked arithmetic.
#include "runtime/rules/Numbers.h"
#include "runtime/rules/Text.h"

#include <QTest>

using namespace runtime;
using Kind = RuntimeError::Kind;


namespace {

// Runs `call` and returns the kind of run-time error it raised; fails the test
// when it raised none.
template <class Call>
std::optional<Kind> raised(Call call)
{
    try {
        call();
    } catch (const RuntimeError &error) {
        return error.kind();
    }
    return std::nullopt;
}

const QString Smiley = QString::fromUcs4(U"\U0001F600");

} // namespace

class TextTest : public QObject {
    Q_OBJECT

private slots:
    void textToInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("digit") << "7" << 7;
        QTest::newRow("leading blanks") << "  7" << 7;
        QTest::newRow("leading tab") << "\t5" << 5;
        QTest::newRow("half down to even") << "8.5" << 8;
        QTest::newRow("half up to even") << "9.5" << 10;
        QTest::newRow("2.5") << "2.5" << 2;
        QTest::newRow("3.5") << "3.5" << 4;
        QTest::newRow("4.6") << "4.6" << 5;
        QTest::newRow("just above a half") << "2.50000000000000000001" << 3;
        QTest::newRow("just below a half") << "3.49999999999999999999" << 3;
        QTest::newRow("negative half") << "-2.5" << -2;
        QTest::newRow("negative half odd") << "-3.5" << -4;
        QTest::newRow("negative small") << "-0.4" << 0;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("plus sign") << "+4" << 4;
        QTest::newRow("fraction only") << ".51" << 1;
        QTest::newRow("point only") << "." << 0;
        QTest::newRow("sign only") << "-" << 0;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("trailing letters") << "3kg" << 3;
        QTest::newRow("exponent not read") << "1e3" << 1;
        QTest::newRow("blank inside ends the number") << "1 2" << 1;
        QTest::newRow("leading zeros of any length") << QString(200, u'0') + "12" << 12;
        QTest::newRow("largest") << "32767" << 32767;
        QTest::newRow("largest by rounding") << "32767.4999" << 32767;
        QTest::newRow("smallest") << "-32768" << -32768;
        QTest::newRow("smallest half to even") << "-32768.5" << -32768;
        QTest::newRow("full-width digit is no digit") << "\uFF13" << 0;
        QTest::newRow("Hangul") << "가" << 0;
    }
    void textToInteger()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(int(TextToInteger(text)), expected);
    }

    void textToIntegerOverflow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("40000") << "40000";
        QTest::newRow("one past the largest") << "32768";
        QTest::newRow("rounded past the largest") << "32767.5";
        QTest::newRow("rounded past the smallest") << "-32768.51";
        QTest::newRow("99999") << "99999";
        QTest::newRow("a thousand digits") << "1" + QString(1000, u'0');
        QTest::newRow("long negative") << "-99999999999999999999.5";
    }
    void textToIntegerOverflow()
    {
        QFETCH(QString, text);
        QCOMPARE(raised([&] { TextToInteger(text); }), Kind::Overflow);
    }

    void valueToInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -99999: type mismatch
        for (int digit = 0; digit <= 9; ++digit)
            QTest::addRow("digit %d", digit) << QString::number(digit) << digit;
        QTest::newRow("blanks around") << " 5 " << 5;
        QTest::newRow("two digits") << "12" << 12;
        QTest::newRow("fraction") << "2.5" << 2;
        QTest::newRow("empty") << "" << -99999;
        QTest::newRow("letter") << "X" << -99999;
        QTest::newRow("blank") << " " << -99999;
        QTest::newRow("sign") << "-" << -99999;
        QTest::newRow("point") << "." << -99999;
        QTest::newRow("trailing letter") << "1a" << -99999;
        QTest::newRow("Hangul") << "가" << -99999;
    }
    void valueToInteger()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        if (expected == -99999)
            QCOMPARE(raised([&] { ValueToInteger(text); }), Kind::TypeMismatch);
        else
            QCOMPARE(int(ValueToInteger(text)), expected);
    }

    void formatNumber_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << qint64(0) << "###,##0" << "0";
        QTest::newRow("zero blank") << qint64(0) << "###,###" << "";
        QTest::newRow("three digits") << qint64(999) << "###,##0" << "999";
        QTest::newRow("four digits") << qint64(1000) << "###,##0" << "1,000";
        QTest::newRow("six digits") << qint64(125750) << "###,##0" << "125,750";
        QTest::newRow("seven digits") << qint64(1234567) << "###,###" << "1,234,567";
        QTest::newRow("negative") << qint64(-1234) << "###,##0" << "-1,234";
        QTest::newRow("negative three digits") << qint64(-100) << "###,##0" << "-100";
        QTest::newRow("smallest int64") << std::numeric_limits<qint64>::min() << "###,##0"
                                         << "-9,223,372,036,854,775,808";
    }
    void formatNumber()
    {
        QFETCH(qint64, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(FormatValue(std::int64_t(value), pattern), expected);
    }

    void formatText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("right six") << "89,750" << "@@@@@@@" << " 89,750";
        QTest::newRow("right one") << "0" << "@@@@@@@" << "      0";
        QTest::newRow("right exact") << "125,750" << "@@@@@@@" << "125,750";
        QTest::newRow("right longer kept whole") << "1,234,567" << "@@@@@@@" << "1,234,567";
        QTest::newRow("right empty") << "" << "@@@@@@@" << "       ";
        QTest::newRow("right counts characters") << "가" + Smiley << "@@@@@@@" << "     가" + Smiley;
        QTest::newRow("left five") << "2,500" << "!@@@@@@" << "2,500 ";
        QTest::newRow("left empty") << "" << "!@@@@@@" << "      ";
        QTest::newRow("left exact") << "35,000" << "!@@@@@@" << "35,000";
        QTest::newRow("left longer kept whole") << "900,000" << "!@@@@@@" << "900,000";
    }
    void formatText()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(FormatValue(text, pattern), expected);
    }

    void formatCurrencyAndUnknownPatterns()
    {
        QCOMPARE(FormatValue(Currency::fromLong(35000), QStringLiteral("###,###")), QStringLiteral("35,000"));
        QCOMPARE(FormatValue(Currency::fromLong(0), QStringLiteral("###,###")), QString());
        QCOMPARE(raised([] { FormatValue(std::int64_t(1), QStringLiteral("#,##0.00")); }), Kind::InvalidArgument);
        QCOMPARE(raised([] { FormatValue(QStringLiteral("a"), QStringLiteral("@@@")); }), Kind::InvalidArgument);
    }

    void compareText_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("equal") << "A" << "A" << 0;
        QTest::newRow("both empty") << "" << "" << 0;
        QTest::newRow("less") << "A" << "B" << -1;
        QTest::newRow("greater") << "Y" << "N" << 1;
        QTest::newRow("prefix first") << "Z" << "ZA" << -1;
        QTest::newRow("longer after") << "AB" << "A" << 1;
        QTest::newRow("empty first") << "" << "A" << -1;
        QTest::newRow("no case folding") << "a" << "A" << 1;
        QTest::newRow("blank before letters") << " A" << "A" << -1;
        QTest::newRow("Hangul after Z") << "가" << "Z" << 1;
        // In UTF-16 order the surrogate 0xD83D would sort before 0xFFFD.
        QTest::newRow("code point order") << Smiley << "\uFFFD" << 1;
        QTest::newRow("lone surrogates differ") << QString(QChar(0xD800)) << QString(QChar(0xD801)) << -1;
    }
    void compareText()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(CompareText(a, b), expected);
        QCOMPARE(CompareText(b, a), -expected);
    }

    void upperCaseAndMidText()
    {
        QCOMPARE(UpperCase(QStringLiteral("abz, y-n")), QStringLiteral("ABZ, Y-N"));
        QCOMPARE(UpperCase(QStringLiteral("äßıｙ가")), QStringLiteral("äßıｙ가"));
        QCOMPARE(MidText(QStringLiteral("ab12cd"), 1, 4), QStringLiteral("ab12"));
        QCOMPARE(MidText(QStringLiteral("가나다라마"), 1, 4), QStringLiteral("가나다라"));
        QCOMPARE(MidText(QStringLiteral("a1"), 1, 4), QStringLiteral("a1"));
        QCOMPARE(MidText(QString(), 1, 4), QString());
        QCOMPARE(MidText(QStringLiteral("ab"), 3, 1), QString());
        QCOMPARE(MidText(QStringLiteral("ab"), 2, 5), QStringLiteral("b"));
        QCOMPARE(MidText("abc" + Smiley, 1, 4), "abc" + Smiley);
        QCOMPARE(MidText("a" + Smiley + "b", 2, 1), Smiley);
        QCOMPARE(MidText(Smiley + Smiley + Smiley, 2, 1), Smiley);
        QCOMPARE(MidText("ab" + Smiley, 3, 1), Smiley);
        QCOMPARE(CharacterCount("a" + Smiley + QChar(0xD800)), 3);
        QCOMPARE(raised([] { MidText(QStringLiteral("ab"), 0, 1); }), Kind::InvalidArgument);
        QCOMPARE(raised([] { MidText(QStringLiteral("ab"), 1, -1); }), Kind::InvalidArgument);
    }

    void checkedArithmetic()
    {
        QCOMPARE(add<Integer>(32766, 1), Integer(32767));
        QCOMPARE(raised([] { add<Integer>(32767, 1); }), Kind::Overflow);
        QCOMPARE(raised([] { sub<Integer>(-32768, 1); }), Kind::Overflow);
        QCOMPARE(raised([] { mul<Long>(65536, 32768); }), Kind::Overflow);
        QCOMPARE(mul<Long>(-65536, 32768), std::numeric_limits<Long>::min());
        QCOMPARE(raised([] { checked<Long>(std::int64_t(1) << 31); }), Kind::Overflow);

        const Currency largest = Currency::fromScaled(std::numeric_limits<std::int64_t>::max());
        QCOMPARE(raised([&] { largest + Currency::fromScaled(1); }), Kind::Overflow);
        QCOMPARE(raised([&] { Currency::fromLong(1) * std::numeric_limits<Long>::max() * 2000000; }), Kind::Overflow);
        QCOMPARE((Currency::fromLong(5) * 7000).toLong(), 35000);
        QCOMPARE(Currency::fromScaled(25000).rounded(), 2);
        QCOMPARE(Currency::fromScaled(35000).rounded(), 4);
        QCOMPARE(Currency::fromScaled(-25000).rounded(), -2);
        QCOMPARE(Currency::fromScaled(-25001).rounded(), -3);
        QCOMPARE(raised([] { Currency::fromLong(std::numeric_limits<Long>::max()) + Currency::fromLong(1); }),
                 std::nullopt);
        QCOMPARE(raised([] { (Currency::fromLong(std::numeric_limits<Long>::max()) + Currency::fromLong(1)).toLong(); }),
                 Kind::Overflow);

        QCOMPARE(roundToLong(384500.0 - 300000 * 0.1), 354500);
        QCOMPARE(roundToLong(2.5), 2);
        QCOMPARE(roundToLong(-3.5), -4);
        QCOMPARE(raised([] { roundToLong(2147483647.5); }), Kind::Overflow);
        QCOMPARE(roundToLong(-2147483648.5), std::numeric_limits<Long>::min());
        QCOMPARE(raised([] { roundToLong(-2147483649.0); }), Kind::Overflow);
        QCOMPARE(raised([] { roundToLong(std::numeric_limits<double>::quiet_NaN()); }), Kind::Overflow);
        QCOMPARE(raised([] { roundToLong(std::numeric_limits<double>::infinity()); }), Kind::Overflow);
    }

    void eachErrorHasItsOwnDescription()
    {
        QSet<QString> texts;
        QSet<QByteArray> names;
        for (Kind kind : {Kind::Overflow, Kind::SubscriptOutOfRange, Kind::TypeMismatch, Kind::InvalidArgument}) {
            texts.insert(RuntimeError(kind).description());
            names.insert(RuntimeError(kind).what());
        }
        QCOMPARE(texts.size(), 4);
        QCOMPARE(names.size(), 4);
        QVERIFY(!texts.contains(QString()));
    }

    void tableBounds()
    {
        Table<int, 7> table;
        table(1) = 10;
        table(7) = 70;
        QCOMPARE(table(1) + table(7), 80);
        QCOMPARE(raised([&] { table(0); }), Kind::SubscriptOutOfRange);
        QCOMPARE(raised([&] { table(8); }), Kind::SubscriptOutOfRange);
        QCOMPARE(raised([&] { table(-32768); }), Kind::SubscriptOutOfRange);
    }
};

QTEST_APPLESS_MAIN(TextTest)
#include "test_runtime_text.moc"
