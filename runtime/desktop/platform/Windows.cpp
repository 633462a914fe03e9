#include "runtime/desktop/platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <cstdio>

namespace runtime::platform {

void formatNoDisplaySentence(char *buffer, std::size_t size, const char *name)
{
    std::snprintf(buffer, size, "%s needs a graphical display and found none: run it on a Windows desktop.\n", name);
}

// Qt's windows platform plugin has no start-up that a vanishing display can
// crash.
void catchCrashesWhileStarting(const char *, const std::atomic<bool> &) {}
void releaseCrashesWhileStarting() {}

// The Windows build ships the Nanum fonts in fonts/ beside the programs: the
// forms and reports take 굴림 and 굴림체 where Windows has them, and these
// otherwise (see runtime/forms/Fonts.cpp). The system's own font (wagesheet's
// forms use it) may have no Hangul, as on an English Windows or under wine,
// so Korean fonts follow it in the application font's families, which Qt
// searches for every character the first one lacks.
void prepareFonts()
{
    const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString &file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name))
        QFontDatabase::addApplicationFont(fonts.filePath(file));

    QFont font = QApplication::font();
    if (!QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::Korean)) {
        font.setFamilies({font.family(), QStringLiteral("맑은 고딕"), QStringLiteral("Malgun Gothic"),
                          QStringLiteral("굴림"), QStringLiteral("Gulim"), QStringLiteral("NanumGothic")});
        QApplication::setFont(font);
    }
}

} // namespace runtime::platform
