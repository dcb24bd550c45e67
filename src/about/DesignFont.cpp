#include "about/DesignFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace vx {

QFont DesignFont(const QString& family, double pointSize, bool bold)
{
    // The design's own family stays first, so a desktop that has it uses it.
    QStringList families{family};
    QFont::StyleHint hint = QFont::AnyStyle;
    if (family == QStringLiteral("ＭＳ Ｐゴシック")) {
        families << QStringLiteral("IPAPGothic") << QStringLiteral("Noto Sans CJK JP") << QStringLiteral("IPAGothic");
        hint = QFont::SansSerif;
    } else if (family == QStringLiteral("ＭＳ Ｐ明朝")) {
        families << QStringLiteral("IPAPMincho") << QStringLiteral("Noto Serif CJK JP") << QStringLiteral("IPAMincho");
        hint = QFont::Serif;
    } else if (family == QStringLiteral("Courier New")) {
        families << QStringLiteral("DejaVu Sans Mono") << QStringLiteral("Liberation Mono")
                 << QStringLiteral("Noto Sans Mono") << QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
        hint = QFont::Monospace;
    }
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace vx
