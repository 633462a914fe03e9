#include "wagesheet/Payroll.h"

#include <array>

namespace wagesheet {

using namespace runtime;

namespace {

struct Department {
    QString Letter;
    QString Name;
};

const std::array<Department, 7> Departments = {{
    {QStringLiteral("A"), QStringLiteral("영업부")},
    {QStringLiteral("B"), QStringLiteral("업무부")},
    {QStringLiteral("C"), QStringLiteral("흥보부")},
    {QStringLiteral("D"), QStringLiteral("인사부")},
    {QStringLiteral("E"), QStringLiteral("경리부")},
    {QStringLiteral("F"), QStringLiteral("판촉부")},
    {QStringLiteral("G"), QStringLiteral("총무부")},
}};

// Rows 1 to 7, selected by the second character of the employee number.
constexpr std::array<Long, 7> DigitAmounts = {900000, 400000, 600000, 800000, 300000, 800000, 800000};
// Rows 1 to 4, selected by the pay code and by the night code.
constexpr std::array<Long, 4> PayAmounts = {15000, 25000, 35000, 45000};
constexpr std::array<Long, 4> NightAmounts = {1500, 2500, 3500, 4500};

constexpr Long FamilyAllowance = 7000;  // per family member
constexpr double DeductionFactor = 0.1; // of the digit amount

// The amount in row `code` (counted from 1), or 0 when the table has no such row.
template <std::size_t N>
Long amountOf(const std::array<Long, N> &rows, Integer code)
{
    return code >= 1 && std::size_t(code) <= N ? rows[std::size_t(code) - 1] : 0;
}

// The department named by the first character of an employee number; empty
// when no department has that letter.
QString departmentOf(const QString &empNo)
{
    const QString letter = MidText(empNo, 1, 1);
    for (const Department &row : Departments) {
        if (CompareText(letter, row.Letter) == 0)
            return row.Name;
    }
    return QString();
}

// The amount selected by the second character of an employee number. Only a
// digit 0-9 is read as a number; a number shorter than two characters, or any
// other second character, selects nothing.
Long digitAmountOf(const QString &empNo)
{
    const QString second = MidText(empNo, 2, 1);
    if (second.size() != 1 || second.front() < u'0' || second.front() > u'9')
        return 0;
    return amountOf(DigitAmounts, ValueToInteger(second));
}

// An amount grouped in threes, then left-aligned in six positions.
QString column(Long amount)
{
    return FormatValue(FormatValue(amount, u"###,##0"), u"!@@@@@@");
}

// The same with zero shown as blanks.
QString column(Currency amount)
{
    return FormatValue(FormatValue(amount, u"###,###"), u"!@@@@@@");
}

// One employee's pay: the figures of the payroll line and of the table row.
struct Pay {
    QString EmpNo;
    QString DeptName;
    Long payAmount = 0;
    Long digitAmount = 0;
    Currency familyAmount;
    Long nightAmount = 0;
    Long totalAmount = 0;
    Long netAmount = 0;
};

Pay payOf(const EmpRecord &r)
{
    const Integer payCode = checked<Integer>(r.PayCode);
    const Long digitAmount = digitAmountOf(r.EmpNo);
    const Long payAmount = amountOf(PayAmounts, payCode);
    const QString deptName = departmentOf(r.EmpNo);
    const Long nightAmount = amountOf(NightAmounts, r.NightCode);
    const Currency familyAmount = Currency::fromLong(r.FamilyCount) * FamilyAllowance;

    const Long codeAmounts = add<Long>(add<Long>(digitAmount, payAmount), nightAmount);
    const Long totalAmount = (Currency::fromLong(codeAmounts) + familyAmount).toLong();
    const Long netAmount = roundToLong(double(totalAmount) - double(digitAmount) * DeductionFactor);
    return {r.EmpNo, deptName, payAmount, digitAmount, familyAmount, nightAmount, totalAmount, netAmount};
}

// Computes one employee's pay and appends its two lines and its table row.
// All three are made before any is appended, so an error leaves nothing of
// this employee.
void reportEmployee(const EmpRecord &r, ReportBoxes &boxes)
{
    const Pay pay = payOf(r);
    const QString listing = QStringLiteral("     ") + r.EmpNo + QStringLiteral("         ") + LongToText(r.PayCode)
                            + QStringLiteral("          ") + IntegerToText(r.NightCode) + QStringLiteral("        ")
                            + IntegerToText(r.FamilyCount) + CRLF;
    const QString payroll = QStringLiteral("     ") + pay.EmpNo + QStringLiteral("  ") + pay.DeptName
                            + QStringLiteral("  ") + LongToText(pay.payAmount) + QStringLiteral("    ")
                            + column(pay.digitAmount) + QStringLiteral("   ") + column(pay.familyAmount)
                            + QStringLiteral("     ") + column(pay.nightAmount) + QStringLiteral("  ")
                            + column(pay.totalAmount) + QStringLiteral("  ") + column(pay.netAmount) + CRLF;
    const QStringList row = {pay.EmpNo, pay.DeptName.trimmed(), QString::number(pay.payAmount),
                             QString::number(pay.digitAmount), QString::number(pay.familyAmount.toLong()),
                             QString::number(pay.nightAmount), QString::number(pay.totalAmount),
                             QString::number(pay.netAmount)};
    boxes.Text1 += listing;
    boxes.Text2 += payroll;
    boxes.table.rows.append(row);
}

} // namespace

void buildPayrollReport(const EmpTableType &table, Integer count, ReportBoxes &boxes)
{
    boxes.Text1 = QStringLiteral("사원번호 기본급 야간수당 가족수") + CRLF;
    const QString payHeading = QStringLiteral("사원번호 부서명 기본급 호급수당 가족수당 야간수당 총금액 실수령액");
    boxes.Text2 = payHeading + CRLF;
    boxes.table = {payHeading.split(u' ', Qt::SkipEmptyParts), {}};

    const Integer last = count;
    for (Integer i = 1; i <= last; i = add<Integer>(i, 1))
        reportEmployee(table(i), boxes);
}

} // namespace wagesheet
