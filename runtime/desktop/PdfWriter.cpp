#include "runtime/desktop/PdfWriter.h"

#include <QCoreApplication>
#include <QPdfWriter>
#include <QSaveFile>

namespace runtime {

QString writeReportPdf(const QString &path, const PrintedReport &report)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(PageMarginMillimetres, PageMarginMillimetres, PageMarginMillimetres,
                                                   PageMarginMillimetres),
                                         QPageLayout::Millimeter));
        writer.setTitle(report.title);
        writer.setCreator(QCoreApplication::applicationName());
        if (layOutReport(writer, report) == 0) {
            file.cancelWriting();
            return QStringLiteral("PDF를 만들지 못했습니다.");
        }
    }
    // Qt 6.4's QSaveFile::commit() flushes its last buffered bytes but
    // commits the file even when that write fails (a full disk), so the last
    // write is made and checked here. Qt 6.8's commit() checks it itself.
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
#endif
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace runtime
