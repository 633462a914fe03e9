// The print module: the system print dialog and the printer, which need Qt
// Print Support. Loaded by the runtime the first time a user prints.
#include "runtime/desktop/PrintModule.h"
#include "runtime/desktop/PrintActions.h"

#include <QPrintDialog>
#include <QPrinter>
#include <type_traits>

extern "C" Q_DECL_EXPORT runtime::PrintOutcome
sheetsPrintWithDialog(QWidget *parent, const QString &documentName,
                      const std::function<int(QPagedPaintDevice &)> &paint, QString &error)
{
    using runtime::PrintOutcome;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    const qreal margin = runtime::PageMarginMillimetres;
    printer.setPageMargins(QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);

    // Every page is printed: the report has no selection or current page,
    // and its pages are numbered "n / m" of the whole.
#ifdef Q_OS_WIN
    // Qt's print dialog on Windows is the system's, which shows nothing (Qt
    // only warns) when no printer is installed: the user is told instead.
    if (printer.outputFormat() != QPrinter::NativeFormat) {
        error = QStringLiteral("설치된 프린터가 없습니다.");
        return PrintOutcome::Failed;
    }
#endif
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize
                      | QAbstractPrintDialog::PrintCollateCopies);
    if (dialog.exec() != QDialog::Accepted)
        return PrintOutcome::Cancelled;

    if (paint(printer) == 0 || printer.printerState() == QPrinter::Error) {
        error = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Printed;
}

static_assert(std::is_same_v<decltype(&sheetsPrintWithDialog), runtime::PrintFunction>);
