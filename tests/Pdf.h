#pragma once

// Reads a PDF back with the tools a user has: poppler-utils' pdftotext,
// pdfinfo and pdffonts.

#include <QImage>
#include <QMap>
#include <QRect>
#include <QTemporaryDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// poppler-utils are Linux programs: the Windows build's tests, run under wine,
// write their PDFs and skip reading them back (tests/windows/end-to-end.sh
// reads the one a user saves there).
#ifdef Q_OS_WIN
#define SKIP_READING_PDF_ON_WINDOWS() QSKIP("poppler-utils, which read the PDF back, are Linux programs")
#else
#define SKIP_READING_PDF_ON_WINDOWS() static_cast<void>(0)
#endif

namespace pdf {

// What `tool` prints for `arguments`; a warning and an empty text when it
// cannot be run or fails.
inline QString run(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s %s failed (poppler-utils: scripts/install-deps installs it): %s %s", qPrintable(tool),
                 qPrintable(arguments.join(u' ')), qPrintable(process.errorString()),
                 process.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page, laid out as on the page (pdftotext -layout); with a
// `pitch`, in characters that many points wide (pdftotext -fixed), so that
// text in a fixed-pitch font of that pitch comes back in its columns.
inline QStringList pages(const QString &file, qreal pitch = 0)
{
    QStringList arguments = {QStringLiteral("-layout"), file, QStringLiteral("-")};
    if (pitch > 0)
        arguments << QStringLiteral("-fixed") << QString::number(pitch);
    QStringList pages = run(QStringLiteral("pdftotext"), arguments).split(u'\f');
    if (!pages.isEmpty() && pages.constLast().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// One field of pdfinfo, such as "Pages" or "Page size".
inline QString info(const QString &file, const QString &field)
{
    const QString text = run(QStringLiteral("pdfinfo"), {file});
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(QRegularExpression::escape(field)),
                                  QRegularExpression::MultilineOption);
    return line.match(text).captured(1).trimmed();
}

// Every font of the file (the subset prefix removed) and whether it is embedded.
inline QMap<QString, bool> fonts(const QString &file)
{
    QMap<QString, bool> fonts;
    const QStringList lines = run(QStringLiteral("pdffonts"), {file}).split(u'\n');
    // Columns: name, type, encoding, emb, ...; the rule under the heading
    // gives their places.
    const int rule = int(lines.indexOf(QRegularExpression(QStringLiteral("-+( -+)+"))));
    if (rule < 0)
        return fonts;
    const QStringList rules = lines[rule].split(u' ');
    qsizetype emb = 0;
    for (int i = 0; i < 3; ++i)
        emb += rules[i].size() + 1;
    for (const QString &line : lines.mid(rule + 1)) {
        if (line.trimmed().isEmpty())
            continue;
        QString name = line.section(u' ', 0, 0);
        name.remove(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+")));
        fonts[name] = fonts.value(name, true) && line.mid(emb, 3) == QLatin1String("yes");
    }
    return fonts;
}

// Where the first page has ink, in pixels at 50 dpi (pdftoppm, without
// anti-aliasing, so that thin strokes stay black).
inline QRect inkBox(const QString &file)
{
    QTemporaryDir folder;
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-gray"),
                                     QStringLiteral("-aa"), QStringLiteral("no"), QStringLiteral("-aaVector"), QStringLiteral("no"),
                                     QStringLiteral("-singlefile"), file, folder.filePath(QStringLiteral("page"))});
    const QImage page(folder.filePath(QStringLiteral("page.pgm")));
    QRect ink;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

} // namespace pdf
