// The checks the harnesses share: failing a run, catching the runtime's
// errors, one click of an entry button, and the layout of a report's boxes.
#pragma once

#include "FuzzInput.h"

#include "runtime/Errors.h"
#include "runtime/Text.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace fuzz {

using runtime::CRLF;
using runtime::Integer;
using runtime::ReportBoxes;
using runtime::RuntimeError;
using Kind = RuntimeError::Kind;

// Stops the run with a message; libFuzzer reports the abort as a crash and
// keeps the input.
[[noreturn]] inline void fail(const char *file, int line, const char *what)
{
    std::fprintf(stderr, "\nPROPERTY FAILED at %s:%d: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(...)                                                                                                \
    do {                                                                                                               \
        if (!(__VA_ARGS__))                                                                                            \
            ::fuzz::fail(__FILE__, __LINE__, #__VA_ARGS__);                                                            \
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

// How often `part` occurs in `text`, occurrences not overlapping.
inline int occurrences(const QString &text, const QString &part)
{
    int found = 0;
    for (qsizetype at = text.indexOf(part); at >= 0; at = text.indexOf(part, at + part.size()))
        ++found;
    return found;
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

// Whether TextToInteger overflows on `text`, the only error it may raise.
inline bool overflows(const QString &text)
{
    const std::optional<Kind> error = raised([&] { (void)runtime::TextToInteger(text); });
    FUZZ_CHECK(!error || error == Kind::Overflow);
    return error.has_value();
}

// What one click of an entry button meets: the box texts, and Module1's
// table holding `count` (0..7) records, read in that order.
template <std::size_t Boxes, class Table>
struct Click {
    std::array<QString, Boxes> boxes;
    Integer count;
    Table table;
};

template <std::size_t Boxes, class Table, class Read>
Click<Boxes, Table> readClick(FuzzInput &in, Read read)
{
    Click<Boxes, Table> click;
    for (QString &box : click.boxes)
        box = in.text(64);
    click.count = Integer(in.count(7));
    click.table = readTable<Table>(in, read);
    return click;
}

// The click `enter` on Module1's table (`stored`, holding `storedCount`) set
// as `click` says. convert(boxes) is what the boxes convert to, nothing when a
// number overflows: then the click raises the overflow error. Otherwise it
// refuses with box refusedBox(entry, count) (0: the table is full) or, when
// that is nothing, appends the entry in the next slot. Only an append changes
// the table.
template <std::size_t Boxes, class T, int N, class Convert, class Expect, class Enter>
void checkClick(runtime::Table<T, N> &stored, Integer &storedCount, const Click<Boxes, runtime::Table<T, N>> &click,
                Convert convert, Expect refusedBox, Enter enter)
{
    const std::optional<T> entry = convert(click.boxes);
    const Integer count = click.count;
    const runtime::Table<T, N> &table = click.table;
    stored = table;
    storedCount = count;
    std::optional<runtime::Refusal> refusal;
    const std::optional<Kind> error = raised([&] { refusal = enter(click.boxes); });
    FUZZ_CHECK(error == (entry ? std::nullopt : std::optional(Kind::Overflow)));
    if (error || refusal) {
        FUZZ_CHECK(storedCount == count && stored == table);
        if (refusal)
            FUZZ_CHECK(!refusal->message.isEmpty() && refusal->box == refusedBox(*entry, count));
        return;
    }
    FUZZ_CHECK(!refusedBox(*entry, count));
    FUZZ_CHECK(count < N && storedCount == count + 1);
    for (int slot = 1; slot <= N; ++slot)
        FUZZ_CHECK(stored(slot) == (slot == count + 1 ? *entry : table(slot)));
}

// A report's count: mostly 0..7; sometimes one the table cannot hold, or any Integer.
inline Integer readCount(FuzzInput &in)
{
    static const Integer Edges[] = {-32768, -32767, -1, 8, 9, 32767, 7, 0};
    const std::uint8_t mode = in.u8();
    const Integer raw = in.i16();
    return mode < 0xC0 ? Integer(mode % 8) : mode < 0xE0 ? Edges[mode % 8] : raw;
}

template <class Table>
struct Report {
    Table table; // as the report left it
    ReportBoxes boxes;
    std::optional<Kind> error;
};

// `build` run on a copy of `table`.
template <class Table, class Build>
Report<Table> report(Build build, const Table &table, Integer count)
{
    Report<Table> run{table, {}, {}};
    run.error = raised([&] { build(run.table, count, run.boxes); });
    return run;
}

// Reads a count and a table and hands check(count, table, headings, run) the
// report of them. The headings, the boxes of a report of no record, end in
// CRLF and hold `lineEnds1` and `lineEnds2` of them.
template <class Table, class Read, class Build, class Check>
void checkReport(FuzzInput &in, Read read, Build build, int lineEnds1, int lineEnds2, Check check)
{
    const Integer count = readCount(in);
    const Table input = readTable<Table>(in, read);
    const Report<Table> empty = report(build, input, 0);
    FUZZ_CHECK(!empty.error && empty.table == input);
    FUZZ_CHECK(occurrences(empty.boxes.Text1, CRLF) == lineEnds1 && empty.boxes.Text1.endsWith(CRLF));
    FUZZ_CHECK(occurrences(empty.boxes.Text2, CRLF) == lineEnds2 && empty.boxes.Text2.endsWith(CRLF));
    check(count, input, empty.boxes, report(build, input, count));
}

// `text` is `heading` and then n lines, the k-th running to the lineEnds(k)-th
// CRLF after the line before and passing check(k, line).
template <class LineEnds, class Check>
void checkLines(const QString &text, const QString &heading, int n, LineEnds lineEnds, Check check)
{
    FUZZ_CHECK(text.startsWith(heading));
    int total = occurrences(heading, CRLF);
    for (int k = 1; k <= n; ++k)
        total += lineEnds(k);
    FUZZ_CHECK(occurrences(text, CRLF) == total);
    qsizetype pos = heading.size();
    for (int k = 1; k <= n; ++k) {
        qsizetype end = pos;
        for (int left = lineEnds(k); left > 0 && end >= 0; --left) {
            end = text.indexOf(CRLF, end);
            if (end >= 0)
                end += CRLF.size();
        }
        FUZZ_CHECK(end > pos);
        check(k, text.sliced(pos, end - pos));
        pos = end;
    }
    FUZZ_CHECK(pos == text.size());
}

// `line` starts with `lead` and ends with `tail`; `fields` stand between them in order.
inline void checkLine(const QString &line, const QString &lead, std::initializer_list<QString> fields,
                      const QString &tail)
{
    FUZZ_CHECK(line.startsWith(lead) && line.endsWith(tail));
    qsizetype at = lead.size();
    for (const QString &field : fields) {
        at = line.indexOf(field, at);
        FUZZ_CHECK(at >= 0);
        at += field.size();
    }
    FUZZ_CHECK(at <= line.size() - tail.size());
}

// `line` starts with `lead`; after it no CR or LF but the one line end.
inline void checkBareLine(const QString &line, const QString &lead)
{
    FUZZ_CHECK(line.startsWith(lead));
    const QString rest = line.sliced(lead.size());
    FUZZ_CHECK(rest.count(u'\r') == 1 && rest.count(u'\n') == 1);
}

// Every line is its record's own, whatever the records before it: box 1 of
// `boxes` is the headings and the lines reports of listed(1..n) alone give,
// box 2 the same of billed(1..n).
template <class Table, class Build>
void checkOwnLines(Build build, const ReportBoxes &boxes, const ReportBoxes &headings, const Table &listed,
                   const Table &billed, int n)
{
    ReportBoxes joined = headings;
    for (int k = 1; k <= n; ++k) {
        Table one;
        one(1) = listed(k);
        const Report<Table> first = report(build, one, 1);
        one(1) = billed(k);
        const Report<Table> second = &billed == &listed ? first : report(build, one, 1);
        FUZZ_CHECK(!first.error && !second.error);
        joined.Text1 += first.boxes.Text1.sliced(headings.Text1.size());
        joined.Text2 += second.boxes.Text2.sliced(headings.Text2.size());
    }
    FUZZ_CHECK(boxes.Text1 == joined.Text1 && boxes.Text2 == joined.Text2);
}

} // namespace fuzz
