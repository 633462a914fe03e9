// The model's rules; see Model.h.
#include "Model.h"

#include "runtime/rules/Text.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <algorithm>

namespace model {

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString blanks(int n) { return QString(n, u' '); }

// a-z become A-Z; nothing else changes.
QString upper(QString text)
{
    for (QChar &c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return text;
}

// The first n characters of a text; a surrogate pair is one character.
QString first(const QString &text, int n)
{
    qsizetype end = 0;
    for (; n > 0 && end < text.size(); --n)
        end += text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate() ? 2 : 1;
    return text.first(end);
}

// A box's leading number as an Integer; nothing when it leaves the range.
std::optional<int> number(const QString &text)
{
    try {
        return runtime::TextToInteger(text);
    } catch (const runtime::RuntimeError &) {
        return std::nullopt;
    }
}

// Digits grouped in threes by ",", "-" before a negative number.
QString grouped(qint64 value)
{
    static const QLocale english(QLocale::English);
    return english.toString(value);
}

// A refusal: the program's message `name` in a box titled with its "title",
// both from MESSAGES (tests/messages.json), which the AT-SPI test reads too.
template <class Record>
Entry<Record> refusal(const char *program, const char *name, int focus)
{
    static const QJsonObject messages = [] {
        QFile file(QStringLiteral(MESSAGES));
        return QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "").object();
    }();
    const QJsonObject texts = messages[QLatin1String(program)].toObject();
    if (!texts[QLatin1String(name)].isString())
        qFatal("%s holds no message \"%s\" of %s", MESSAGES, name, program);
    return {.title = texts["title"].toString(), .message = texts[QLatin1String(name)].toString(), .focus = focus};
}

} // namespace

// ---- tollsheet ----

Entry<CustRecord> tollsheetEntry(const QStringList &box, int count)
{
    const std::optional<int> custNo = number(box[0]);
    const std::optional<int> callTime = number(box[4]);
    if (!custNo || !callTime)
        return {.error = Kind::Overflow, .title = QStringLiteral("tollsheet")};
    const CustRecord r{qint16(*custNo), upper(box[1]), upper(box[2]), upper(box[3]), qint16(*callTime)};

    const auto refuse = [](const char *message, int focus) { return refusal<CustRecord>("tollsheet", message, focus); };
    const auto yesOrNo = [](const QString &flag) { return flag == u"Y" || flag == u"N"; };
    if (r.CustNo < 0 || r.CustNo > 9)
        return refuse("custNo", 1);
    if (r.GradeCode.size() != 1 || r.GradeCode[0] < u'A' || r.GradeCode[0] > u'Z')
        return refuse("grade", 2);
    if (!yesOrNo(r.VoiceSvc))
        return refuse("voice", 3);
    if (!yesOrNo(r.TextSvc))
        return refuse("text", 4);
    if (r.CallTime < 0 || r.CallTime > 999)
        return refuse("time", 5);
    if (count >= 7)
        return refuse("full", 0);
    return {.focus = 1, .stored = r};
}

struct Grade {
    QStringView code, name;
    qint64 baseFee, tierLimit, tierRate, excessRate, discountRate;
};

const Grade Grades[] = {
    {u"S", u"프리미엄", 50000, 250, 85, 90, 3},
    {u"F", u"패 밀 리", 40000, 200, 80, 85, 3},
    {u"I", u"일    반", 35000, 50, 105, 110, 2},
    {u"C", u"단    체", 20000, 100, 50, 55, 1},
};

// Appends a subscriber's charge line and its row of the copied table.
static void chargeLine(const CustRecord &r, Report<CustTableType> &report)
{
    const auto row = std::find_if(std::begin(Grades), std::end(Grades),
                                  [&](const Grade &g) { return r.GradeCode == g.code; });
    const Grade g = row == std::end(Grades) ? Grade{} : *row; // a code with no row: no name, all zero
    const qint64 time = r.CallTime;
    const qint64 service = (r.VoiceSvc == u"Y" ? 20000 : 0) + (r.TextSvc == u"Y" ? 17000 : 0);
    const qint64 discount = time * g.discountRate;
    const qint64 usage = time <= g.tierLimit ? time * g.tierRate + g.baseFee
                                             : (time - g.tierLimit) * g.excessRate + g.tierLimit * g.tierRate + g.baseFee;
    const qint64 bill = usage + service - discount;
    const auto column = [](qint64 amount) { return grouped(amount).rightJustified(7); };
    const QString remark = discount >= 1000 ? QStringLiteral("우수") : QString();
    report.text2 += blanks(6) + QString::number(r.CustNo) + blanks(6) + g.name.toString() + blanks(5) + column(usage)
                    + blanks(6) + column(service) + blanks(5) + column(bill) + blanks(4) + remark + CRLF;
    report.rows.append({QString::number(r.CustNo), g.name.trimmed().toString(), QString::number(usage),
                        QString::number(service), QString::number(bill), remark});
}

// The listing of slots 1..count as they stand, the table sorted by customer
// number (the exchange sort: slot i trades with every later slot j whose
// number is smaller), then one charge line per slot.
Report<CustTableType> billingReport(const CustTableType &table, int count)
{
    Report<CustTableType> report{
        QStringLiteral("   고객번호  등급코드 음성서비스가입여부 문자서비스가입여부  전화사용시간") + CRLF,
        QStringLiteral("  비번호 : 10") + CRLF + CRLF
            + QStringLiteral("   고객번호   등급명   전화사용요금   서비스요금   청구금액   비고") + CRLF,
        table, {}, {}};
    for (int i = 1; i <= count; ++i) {
        if (i > CustTableType::Size) {
            report.error = Kind::SubscriptOutOfRange;
            return report;
        }
        const CustRecord &r = table(i);
        report.text1 += blanks(6) + QString::number(r.CustNo) + blanks(10) + r.GradeCode + blanks(12) + r.VoiceSvc
                        + blanks(17) + r.TextSvc + blanks(17) + QString::number(r.CallTime) + CRLF;
    }
    if (count == -32768) { // the sort's last pass, count - 1, is no Integer
        report.error = Kind::Overflow;
        return report;
    }
    for (int i = 1; i < count; ++i) {
        for (int j = i + 1; j <= count; ++j) {
            if (report.table(i).CustNo > report.table(j).CustNo)
                std::swap(report.table(i), report.table(j));
        }
    }
    for (int i = 1; i <= count; ++i)
        chargeLine(report.table(i), report);
    return report;
}

// ---- wagesheet ----

Entry<EmpRecord> wagesheetEntry(const QStringList &box, int count)
{
    const std::optional<int> pay = number(box[1]);
    const std::optional<int> night = number(box[2]);
    const std::optional<int> family = number(box[3]);
    if (!pay || !night || !family)
        return {.error = Kind::Overflow, .title = QStringLiteral("wagesheet")};

    const auto refuse = [](const char *message, int focus) { return refusal<EmpRecord>("wagesheet", message, focus); };
    if (count >= 7)
        return refuse("full", 0);
    if (*pay < 1 || *pay > 4)
        return refuse("pay", 2);
    if (*night < 1 || *night > 4)
        return refuse("night", 3);
    if (*family < 1 || *family > 5)
        return refuse("family", 4);
    return {.stored = EmpRecord{first(upper(box[0]), 4), *pay, qint16(*night), qint16(*family)}};
}

// Named by an employee number's first character.
struct Department {
    char16_t letter;
    QStringView name;
};
const Department Departments[] = {{u'A', u"영업부"}, {u'B', u"업무부"}, {u'C', u"흥보부"}, {u'D', u"인사부"},
                                         {u'E', u"경리부"}, {u'F', u"판촉부"}, {u'G', u"총무부"}};
const qint64 DigitAmounts[] = {900000, 400000, 600000, 800000, 300000, 800000, 800000}; // second character 1..7
const qint64 PayAmounts[] = {15000, 25000, 35000, 45000};                              // pay code 1..4
const qint64 NightAmounts[] = {1500, 2500, 3500, 4500};                                // night code 1..4

// Each employee alone: a letter, digit or code that selects nothing gives an
// empty department or 0. A pay code beyond the Integer range stops the report
// before that employee's lines.
Report<EmpTableType> payrollReport(const EmpTableType &table, int count)
{
    Report<EmpTableType> report{
        QStringLiteral("사원번호 기본급 야간수당 가족수") + CRLF,
        QStringLiteral("사원번호 부서명 기본급 호급수당 가족수당 야간수당 총금액 실수령액") + CRLF, table, {}, {}};
    for (int i = 1; i <= count; ++i) {
        if (i > EmpTableType::Size) {
            report.error = Kind::SubscriptOutOfRange;
            return report;
        }
        const EmpRecord &r = table(i);
        if (r.PayCode < -32768 || r.PayCode > 32767) {
            report.error = Kind::Overflow;
            return report;
        }
        const QChar letter = r.EmpNo.isEmpty() ? QChar() : r.EmpNo[0];
        const QList<uint> characters = r.EmpNo.toUcs4();
        const uint second = characters.size() >= 2 ? characters[1] : 0;
        QString department;
        for (const Department &named : Departments) {
            if (letter == named.letter)
                department = named.name.toString();
        }
        const qint64 digit = second >= '1' && second <= '7' ? DigitAmounts[second - '1'] : 0;
        const qint64 pay = r.PayCode >= 1 && r.PayCode <= 4 ? PayAmounts[r.PayCode - 1] : 0;
        const qint64 night = r.NightCode >= 1 && r.NightCode <= 4 ? NightAmounts[r.NightCode - 1] : 0;
        const qint64 family = r.FamilyCount * 7000;
        const qint64 total = digit + pay + night + family;
        const qint64 net = total - digit / 10;
        const auto column = [](qint64 amount) { return grouped(amount).leftJustified(6); };

        report.text1 += blanks(5) + r.EmpNo + blanks(9) + QString::number(r.PayCode) + blanks(10)
                        + QString::number(r.NightCode) + blanks(8) + QString::number(r.FamilyCount) + CRLF;
        report.text2 += blanks(5) + r.EmpNo + blanks(2) + department + blanks(2) + QString::number(pay) + blanks(4)
                        + column(digit) + blanks(3) + (family == 0 ? blanks(6) : column(family)) + blanks(5)
                        + column(night) + blanks(2) + column(total) + blanks(2) + column(net) + CRLF;
        report.rows.append({r.EmpNo, department, QString::number(pay), QString::number(digit), QString::number(family),
                            QString::number(night), QString::number(total), QString::number(net)});
    }
    return report;
}

} // namespace model
