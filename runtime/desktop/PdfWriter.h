#pragma once

#include "runtime/desktop/PageLayout.h"

#include <QString>

namespace runtime {

// Writes the report as an A4 portrait PDF to `path`, through a temporary file
// in the same folder that replaces `path` only once it is complete. Returns
// an empty text, or why the file could not be written; a file already at
// `path` is then left as it was.
QString writeReportPdf(const QString &path, const PrintedReport &report);

} // namespace runtime
