#include "runtime/desktop/platform/Platform.h"
#include "runtime/desktop/platform/Composition.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QInputMethod>
#include <QWidget>
#include <QWindow>
#include <cstdio>

#include <windows.h>
#include <imm.h>

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

namespace {

// Qt 6.4's windows input context loses Korean syllables. On
// WM_IME_ENDCOMPOSITION it cancels the input method's composition
// (QWindowsInputContext::endComposition calls ImmNotifyIME with CPS_CANCEL),
// which drops the next syllable that an input method has begun when it ends
// a composition with a result, as an X input method reached through wine
// does for every syllable. And a WM_IME_COMPOSITION that brings a result
// together with the next syllable, as Windows' Korean input method sends
// when a consonant moves on, ends Qt's composition (composition() calls
// endContextComposition), so a click or a Tab while that syllable is being
// composed neither commits it nor cancels it. So the programs' windows take
// the three composition messages themselves and hand them to a Composition;
// Qt's context never sees a composition and leaves it alone.
const wchar_t qtProcedure[] = L"sheets.qtWindowProcedure";

// The input context that composes. Qt takes it from the window as the focus
// leaves a box for a button, before the box hears of it.
HIMC composingContext = nullptr;

Composition &composition()
{
    static Composition composition([] { ImmNotifyIME(composingContext, NI_COMPOSITIONSTR, CPS_CANCEL, 0); });
    return composition;
}

std::optional<QString> compositionString(HIMC context, DWORD which)
{
    const LONG bytes = ImmGetCompositionStringW(context, which, nullptr, 0);
    if (bytes < 0)
        return std::nullopt;
    std::wstring text(std::size_t(bytes) / sizeof(wchar_t), L'\0');
    ImmGetCompositionStringW(context, which, text.data(), DWORD(bytes));
    return QString::fromStdWString(text);
}

// The input method's candidate and composition windows, if it shows any,
// go to the cursor of the box.
void placeInputMethodWindows(HIMC context)
{
    const QWindow *focus = QGuiApplication::focusWindow();
    const QRect cursor = QGuiApplication::inputMethod()->cursorRectangle().toRect();
    if (!focus || !cursor.isValid())
        return;
    const qreal scale = focus->devicePixelRatio();
    COMPOSITIONFORM at = {CFS_FORCE_POSITION, {LONG(cursor.x() * scale), LONG(cursor.y() * scale)}, {}};
    ImmSetCompositionWindow(context, &at);
    CANDIDATEFORM below = {0, CFS_EXCLUDE, {LONG(cursor.x() * scale), LONG(cursor.bottom() * scale)},
                           {LONG(cursor.left() * scale), LONG(cursor.top() * scale), LONG(cursor.right() * scale),
                            LONG(cursor.bottom() * scale)}};
    ImmSetCandidateWindow(context, &below);
}

LRESULT CALLBACK composingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto qt = reinterpret_cast<WNDPROC>(GetPropW(window, qtProcedure));
    switch (message) {
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
        if (const HIMC context = ImmGetContext(window)) {
            composingContext = context;
            placeInputMethodWindows(context);
            if (message == WM_IME_COMPOSITION) {
                const bool composing = lParam & (GCS_COMPSTR | GCS_COMPATTR | GCS_CURSORPOS);
                composition().update(QGuiApplication::focusObject(),
                                     lParam & GCS_RESULTSTR ? compositionString(context, GCS_RESULTSTR) : std::nullopt,
                                     composing ? compositionString(context, GCS_COMPSTR) : std::nullopt);
            }
            ImmReleaseContext(window, context);
        }
        return 0;
    case WM_IME_ENDCOMPOSITION:
        composition().end();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(qt));
        RemovePropW(window, qtProcedure);
        break;
    }
    return CallWindowProcW(qt, window, message, wParam, lParam);
}

// Every top-level window of the program takes the composition messages
// before Qt, from when it is shown.
class ComposingWindows : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()) {
            const auto window = reinterpret_cast<HWND>(static_cast<QWidget *>(watched)->winId());
            if (!GetPropW(window, qtProcedure)) {
                SetPropW(window, qtProcedure, reinterpret_cast<HANDLE>(GetWindowLongPtrW(window, GWLP_WNDPROC)));
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(composingProcedure));
            }
        }
        return false;
    }
};

} // namespace

void prepareInputMethods()
{
    qApp->installEventFilter(new ComposingWindows(qApp));
}

} // namespace runtime::platform
