#include "tollsheet/Billing.h"

#include <array>

namespace tollsheet {

using namespace runtime;

namespace {

// One row of the grade tariff.
struct GradeTariff {
    QString GradeCode;
    QString GradeName;
    Long BaseFee = 0;
    Long TierLimit = 0;
    Long TierRate = 0;
    Long ExcessRate = 0;
    Long DiscountRate = 0;
};

const std::array<GradeTariff, 4> Tariff = {{
    {QStringLiteral("S"), QStringLiteral("프리미엄"), 50000, 250, 85, 90, 3},
    {QStringLiteral("F"), QStringLiteral("패 밀 리"), 40000, 200, 80, 85, 3},
    {QStringLiteral("I"), QStringLiteral("일    반"), 35000, 50, 105, 110, 2},
    {QStringLiteral("C"), QStringLiteral("단    체"), 20000, 100, 50, 55, 1},
}};

constexpr Long VoiceCharge = 20000;
constexpr Long TextCharge = 17000;
constexpr Long RemarkThreshold = 1000;

// An amount right-aligned in seven positions, grouped in threes.
QString column(Long amount)
{
    return FormatValue(FormatValue(amount, u"###,##0"), u"@@@@@@@");
}

// The tariff row of a grade code, compared exactly; an empty tariff (no name,
// all amounts 0) for a code that has none.
const GradeTariff &findGrade(const QString &gradeCode)
{
    static const GradeTariff none;
    for (const GradeTariff &row : Tariff) {
        if (CompareText(gradeCode, row.GradeCode) == 0)
            return row;
    }
    return none;
}

bool isYes(const QString &flag) { return CompareText(flag, u"Y") == 0; }

void listSubscriber(const CustRecord &r, QString &box)
{
    box += QStringLiteral("      ") + IntegerToText(r.CustNo) + QStringLiteral("          ") + r.GradeCode
           + QStringLiteral("            ") + r.VoiceSvc + QStringLiteral("                 ") + r.TextSvc
           + QStringLiteral("                 ") + IntegerToText(r.CallTime) + CRLF;
}

// Exchange sort by customer number, ascending; equal numbers are never
// exchanged with each other.
void sortByCustomerNumber(CustTableType &table, Integer count)
{
    const Integer last = sub<Integer>(count, 1);
    for (Integer i = 1; i <= last; i = add<Integer>(i, 1)) {
        for (Integer j = add<Integer>(i, 1); j <= count; j = add<Integer>(j, 1)) {
            if (table(i).CustNo > table(j).CustNo) {
                const CustRecord swap = table(i);
                table(i) = table(j);
                table(j) = swap;
            }
        }
    }
}

// One subscriber's bill: the figures of its charge line and of its table row.
struct Bill {
    Integer CustNo = 0;
    QString GradeName;
    Long usageCharge = 0;
    Long serviceCharge = 0;
    Long billedAmount = 0;
    QString remark;
};

Bill billOf(const CustRecord &r)
{
    const GradeTariff &grade = findGrade(r.GradeCode);

    Long serviceCharge = 0;
    if (isYes(r.VoiceSvc))
        serviceCharge = VoiceCharge;
    if (isYes(r.TextSvc))
        serviceCharge = add<Long>(serviceCharge, TextCharge);

    const Long callTime = r.CallTime;
    const Long discount = mul<Long>(callTime, grade.DiscountRate);
    const QString remark = discount >= RemarkThreshold ? QStringLiteral("우수") : QString();

    Long usageCharge = 0;
    if (callTime <= grade.TierLimit) {
        usageCharge = add<Long>(mul<Long>(callTime, grade.TierRate), grade.BaseFee);
    } else {
        const Long excess = mul<Long>(sub<Long>(callTime, grade.TierLimit), grade.ExcessRate);
        usageCharge = add<Long>(excess, add<Long>(mul<Long>(grade.TierLimit, grade.TierRate), grade.BaseFee));
    }
    const Long billedAmount = sub<Long>(add<Long>(usageCharge, serviceCharge), discount);
    return {r.CustNo, grade.GradeName, usageCharge, serviceCharge, billedAmount, remark};
}

// Appends a subscriber's charge line to the lower box and its row to the table.
void billSubscriber(const CustRecord &r, ReportBoxes &boxes)
{
    const Bill bill = billOf(r);
    boxes.Text2 += QStringLiteral("      ") + IntegerToText(bill.CustNo) + QStringLiteral("      ") + bill.GradeName
                   + QStringLiteral("     ") + column(bill.usageCharge) + QStringLiteral("      ")
                   + column(bill.serviceCharge) + QStringLiteral("     ") + column(bill.billedAmount)
                   + QStringLiteral("    ") + bill.remark + CRLF;
    boxes.table.rows.append({QString::number(bill.CustNo), bill.GradeName.trimmed(), QString::number(bill.usageCharge),
                             QString::number(bill.serviceCharge), QString::number(bill.billedAmount), bill.remark});
}

} // namespace

void buildBillingReport(CustTableType &table, Integer count, ReportBoxes &boxes)
{
    boxes.Text1 = QStringLiteral("   고객번호  등급코드 음성서비스가입여부 문자서비스가입여부  전화사용시간") + CRLF;
    boxes.Text2 = QStringLiteral("  비번호 : 10") + CRLF + CRLF;
    const QString billHeading = QStringLiteral("   고객번호   등급명   전화사용요금   서비스요금   청구금액   비고");
    boxes.Text2 += billHeading + CRLF;
    boxes.table = {billHeading.split(u' ', Qt::SkipEmptyParts), {}};

    for (Integer i = 1; i <= count; i = add<Integer>(i, 1))
        listSubscriber(table(i), boxes.Text1);

    sortByCustomerNumber(table, count);

    for (Integer i = 1; i <= count; i = add<Integer>(i, 1))
        billSubscriber(table(i), boxes);
}

} // namespace tollsheet
