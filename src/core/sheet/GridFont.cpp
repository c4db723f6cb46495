#include "core/sheet/GridFont.h"

#include <QFontDatabase>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace peridon {

void installFontSubstitutions() {
    // On Windows the fonts the windows name are usually there, under either
    // their Japanese or their English name; where they are not (newer
    // installations may lack the HG fonts), the system's own Japanese fonts
    // stand in. Elsewhere the IPA fonts do. Proportional fonts come before
    // fixed-pitch ones, as they match the proportional originals.
    const QStringList windowsGothic{u"Yu Gothic"_s, u"Meiryo"_s};
    const QStringList otherGothic{u"IPAPGothic"_s, u"IPAGothic"_s, u"Noto Sans CJK JP"_s};
    const QStringList windowsMincho{u"Yu Mincho"_s, u"ＭＳ Ｐ明朝"_s, u"MS PMincho"_s};
    const QStringList otherMincho{u"IPAPMincho"_s, u"IPAMincho"_s, u"Noto Serif CJK JP"_s};
    // Each name of a pair stands in for the other before anything else.
    const auto substitute = [](const QString& japanese, const QString& english,
                               const QStringList& rest) {
        QFont::insertSubstitutions(japanese, QStringList{english} + rest);
        QFont::insertSubstitutions(english, QStringList{japanese} + rest);
    };
    substitute(u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, windowsGothic + otherGothic);
    substitute(u"ＭＳ ゴシック"_s, u"MS Gothic"_s,
               windowsGothic + QStringList{u"IPAGothic"_s, u"IPAPGothic"_s});
    substitute(u"HGS明朝E"_s, u"HGSMinchoE"_s, windowsMincho + otherMincho);
    substitute(u"ＭＳ Ｐ明朝"_s, u"MS PMincho"_s, QStringList{u"Yu Mincho"_s} + otherMincho);
    substitute(u"ＭＳ 明朝"_s, u"MS Mincho"_s, QStringList{u"Yu Mincho"_s} + otherMincho);
}

QFont gridFont() {
    QFont f(u"ＭＳ Ｐゴシック"_s);
    f.setPointSizeF(9);
    return f;
}

} // namespace peridon
