// The checks the harnesses share: failing a run, catching the runtime's
// errors, and one entry click or one report judged by the model of the rules.
#pragma once

#include "FuzzInput.h"
#include "../FirstDifference.h"
#include "../Model.h"

#include "runtime/rules/Results.h"
#include "runtime/rules/Errors.h"
#include "runtime/rules/Text.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace fuzz {

using runtime::Integer;
using runtime::ReportBoxes;
using runtime::RuntimeError;
using Kind = RuntimeError::Kind;

// The input being replayed from a corpus, when one is (see replay.cpp).
inline std::string replaying;

// Stops the run with a message; libFuzzer reports the abort as a crash and
// keeps the input.
[[noreturn]] inline void fail(const char *file, int line, const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "\nPROPERTY FAILED at %s:%d: %s\n", file, line, what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "%s\n", detail.toUtf8().constData());
    if (!replaying.empty())
        std::fprintf(stderr, "replaying %s\n", replaying.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(...)                                                                                                \
    do {                                                                                                               \
        if (!(__VA_ARGS__))                                                                                            \
            ::fuzz::fail(__FILE__, __LINE__, #__VA_ARGS__);                                                            \
    } while (0)

// Two texts that must be equal; a failure shows the first line that differs.
#define FUZZ_CHECK_TEXT(actual, expected)                                                                              \
    do {                                                                                                               \
        if (const QString difference = ::testing::firstDifference(actual, expected); !difference.isEmpty())           \
            ::fuzz::fail(__FILE__, __LINE__, #actual " == " #expected, difference);                                    \
    } while (0)

// The kind of the RuntimeError `f` raised, or nothing; any other exception
// fails the run.
template <class F>
std::optional<Kind> raised(F f)
{
    try {
        f();
        return std::nullopt;
    } catch (const RuntimeError &e) {
        return e.kind();
    } catch (...) {
        fail(__FILE__, __LINE__, "an exception other than a RuntimeError");
    }
}

// The code points of a text, decoded without the runtime; a lone surrogate
// stands for its own value.
inline std::vector<char32_t> decode(const QString &text)
{
    std::vector<char32_t> points;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        points.push_back(pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode());
        i += pair;
    }
    return points;
}

inline int codePoints(const QString &text) { return int(decode(text).size()); }

// The decimal digits of a number, made without the runtime.
inline QString decimal(long long value) { return QString::fromStdString(std::to_string(value)); }

template <class Table, class Read>
Table readTable(FuzzInput &in, Read read)
{
    Table table;
    for (int slot = 1; slot <= Table::Size; ++slot)
        table(slot) = read(in);
    return table;
}

// What one click of an entry button meets: the box texts, and Module1's
// table holding `count` (0..7) records, read in that order.
template <class Table>
struct Click {
    QStringList boxes;
    Integer count;
    Table table;
};

template <class Table, class Read>
Click<Table> readClick(FuzzInput &in, int boxes, Read read)
{
    Click<Table> click;
    for (int i = 0; i < boxes; ++i)
        click.boxes << in.text(64);
    click.count = Integer(in.count(7));
    click.table = readTable<Table>(in, read);
    return click;
}

// The click `enter` on Module1's table (`stored`, holding `storedCount`) set
// as `click` says: it raises the model's run-time error, or refuses with the
// model's message and focus box, or appends the model's record in the next
// slot. Nothing else changes the table.
template <class T, int N, class Enter>
void checkClick(runtime::Table<T, N> &stored, Integer &storedCount, const Click<runtime::Table<T, N>> &click,
                const model::Entry<T> &answer, Enter enter)
{
    stored = click.table;
    storedCount = click.count;
    std::optional<runtime::Refusal> refusal;
    const std::optional<Kind> error = raised([&] { refusal = enter(click.boxes); });
    FUZZ_CHECK(error == answer.error);
    FUZZ_CHECK(refusal.has_value() == !answer.message.isEmpty());
    if (refusal) {
        FUZZ_CHECK_TEXT(refusal->message, answer.message);
        FUZZ_CHECK(refusal->box == answer.focus);
    }
    runtime::Table<T, N> expected = click.table;
    if (answer.stored)
        expected(click.count + 1) = *answer.stored;
    FUZZ_CHECK(stored == expected && storedCount == click.count + (answer.stored ? 1 : 0));
}

// A report's count: mostly 0..7; sometimes one the table cannot hold, or any Integer.
inline Integer readCount(FuzzInput &in)
{
    static const Integer Edges[] = {-32768, -32767, -1, 8, 9, 32767, 7, 0};
    const std::uint8_t mode = in.u8();
    const Integer raw = in.i16();
    return mode < 0xC0 ? Integer(mode % 8) : mode < 0xE0 ? Edges[mode % 8] : raw;
}

// Reads a count and a table; `build` on them writes both boxes and the rows to
// copy, leaves the table and raises the error exactly as the model's report says.
template <class Table, class Read, class Build>
void checkReport(FuzzInput &in, Read read, Build build, model::Report<Table> (*rules)(const Table &, int))
{
    const Integer count = readCount(in);
    const Table input = readTable<Table>(in, read);
    const model::Report<Table> expected = rules(input, count);
    Table table = input;
    ReportBoxes boxes;
    FUZZ_CHECK(raised([&] { build(table, count, boxes); }) == expected.error);
    FUZZ_CHECK_TEXT(boxes.Text1, expected.text1);
    FUZZ_CHECK_TEXT(boxes.Text2, expected.text2);
    FUZZ_CHECK(table == expected.table && boxes.table.rows == expected.rows);
}

} // namespace fuzz
