#pragma once

// The interface of the print module, a library of its own that links Qt Print
// Support so that the programs do not have to: it is loaded the first time a
// user prints. Each program has its copy at
//   <libdir>/<program>/print.so        (Linux)
//   <program>/print.dll                (Windows, in the programs' folder)
// where <libdir> lies at the same place relative to the program's folder in
// the build tree and wherever the programs are installed.

#include <QString>
#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace runtime {

enum class PrintOutcome { Printed, Cancelled, Failed };

// Shows the system print dialog for a document called `documentName`. When
// the user accepts it, hands `paint` the printer chosen, with margins of
// PageMarginMillimetres on its own page size; `paint` returns the number of
// pages it painted, 0 when it could not paint. On failure, `error` says why.
using PrintFunction = PrintOutcome (*)(QWidget *parent, const QString &documentName,
                                       const std::function<int(QPagedPaintDevice &)> &paint, QString &error);

// The name under which the module exports its PrintFunction.
inline constexpr char PrintFunctionName[] = "sheetsPrintWithDialog";

} // namespace runtime
