#include "runtime/forms/Fonts.h"

#include <QStringList>

namespace runtime {

QFont formFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("굴림"), QStringLiteral("Gulim"), QStringLiteral("맑은 고딕"),
                      QStringLiteral("Malgun Gothic"), QStringLiteral("NanumGothic"), QStringLiteral("Noto Sans CJK KR")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(11.25);
    font.setWeight(QFont::Normal);
    return font;
}

QFont reportFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("굴림체"), QStringLiteral("GulimChe"), QStringLiteral("NanumGothicCoding"),
                      QStringLiteral("D2Coding"), QStringLiteral("Noto Sans Mono CJK KR")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace runtime
