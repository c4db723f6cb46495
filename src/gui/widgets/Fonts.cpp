#include "gui/widgets/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace peridon {

void installFontSubstitutions() {
    // Proportional fonts first: they match the proportional originals; the
    // fixed-pitch ones are fallbacks where only those are installed.
    const QStringList gothic{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                             QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Yu Gothic UI")};
    const QStringList mincho{QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho"),
                             QStringLiteral("Noto Serif CJK JP"), QStringLiteral("Yu Mincho")};
    for (const QString& name : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic")})
        QFont::insertSubstitutions(name, gothic);
    for (const QString& name : {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic")})
        QFont::insertSubstitutions(name, {QStringLiteral("IPAGothic"), gothic.front()});
    for (const QString& name :
         {QStringLiteral("HGS明朝E"), QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("ＭＳ 明朝")})
        QFont::insertSubstitutions(name, mincho);
}

QFont gridFont() {
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSizeF(9);
    return f;
}

} // namespace peridon
