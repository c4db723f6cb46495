#include "core/sheet/GridFont.h"

#include <QFontDatabase>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace peridon {

void installFontSubstitutions() {
    // Proportional fonts first: they match the proportional originals; the
    // fixed-pitch ones are fallbacks where only those are installed.
    const QStringList gothic{u"IPAPGothic"_s, u"IPAGothic"_s, u"Noto Sans CJK JP"_s,
                             u"Yu Gothic UI"_s};
    const QStringList mincho{u"IPAPMincho"_s, u"IPAMincho"_s, u"Noto Serif CJK JP"_s,
                             u"Yu Mincho"_s};
    for (const QString& name : {u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s})
        QFont::insertSubstitutions(name, gothic);
    for (const QString& name : {u"ＭＳ ゴシック"_s, u"MS Gothic"_s})
        QFont::insertSubstitutions(name, {u"IPAGothic"_s, gothic.front()});
    for (const QString& name : {u"HGS明朝E"_s, u"ＭＳ Ｐ明朝"_s, u"ＭＳ 明朝"_s})
        QFont::insertSubstitutions(name, mincho);
}

QFont gridFont() {
    QFont f(u"ＭＳ Ｐゴシック"_s);
    f.setPointSizeF(9);
    return f;
}

} // namespace peridon
