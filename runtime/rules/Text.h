#pragma once

#include "runtime/rules/Numbers.h"

#include <QString>

namespace runtime {

// Carriage return and line feed: the end of every report line.
inline const QString CRLF = QStringLiteral("\r\n");

// The leading decimal number of a text (leading blanks skipped; sign, digits,
// point, fraction), rounded to the nearest Integer with halves to even.
// A text without a leading number gives 0. The rounding works on the exact
// decimal digits; a value of any length outside the Integer range raises the
// overflow error.
Integer TextToInteger(const QString &text);

// The whole text read as a number (blanks around it allowed) and made an
// Integer as TextToInteger does. Anything that is not a number, the empty
// text included, raises the type-mismatch error.
Integer ValueToInteger(const QString &text);

QString IntegerToText(Integer value);
QString LongToText(Long value);

// The four patterns the programs use:
//   "###,##0"  digits grouped in threes by ",", at least one digit, "-" before negatives
//   "###,###"  the same, but zero gives the empty text
//   "@@@@@@@"  text right-aligned in seven positions
//   "!@@@@@@"  text left-aligned in six positions
// A text longer than its positions is returned whole. Any other pattern raises
// the invalid-argument error.
QString FormatValue(std::int64_t value, QStringView pattern);
QString FormatValue(Currency value, QStringView pattern);
QString FormatValue(const QString &text, QStringView pattern);

// Compares by character code (Unicode code points): -1, 0 or 1. A proper prefix
// comes first. No case folding.
int CompareText(QStringView a, QStringView b);

// a-z become A-Z; every other character stays as it is.
QString UpperCase(const QString &text);

// Up to `length` characters from character `start` (counted from 1), empty past
// the end. Characters are Unicode code points: a surrogate pair is never split.
// A start below 1 or a negative length raises the invalid-argument error.
QString MidText(const QString &text, int start, int length);

// The number of characters (code points) of a text.
int CharacterCount(const QString &text);

} // namespace runtime
