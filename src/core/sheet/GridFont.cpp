#include "core/sheet/GridFont.h"

#include <QFontDatabase>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace peridon {

namespace {

// Japanese and English names of the same font.
struct FontNames {
    const char16_t* japanese;
    const char16_t* english;
};

constexpr FontNames kGothicP{u"ＭＳ Ｐゴシック", u"MS PGothic"};
constexpr FontNames kGothic{u"ＭＳ ゴシック", u"MS Gothic"};
constexpr FontNames kMinchoE{u"HGS明朝E", u"HGSMinchoE"};
constexpr FontNames kMinchoP{u"ＭＳ Ｐ明朝", u"MS PMincho"};
constexpr FontNames kMincho{u"ＭＳ 明朝", u"MS Mincho"};

} // namespace

QStringList fontCandidates(const QString& family) {
    // On Windows the fonts the windows name are usually there, under either
    // their Japanese or their English name; where they are not (newer
    // installations may lack the HG fonts), the system's own Japanese fonts
    // stand in; elsewhere the IPA fonts do. Proportional fonts come before
    // fixed-pitch ones, as they match the proportional originals.
    const QStringList windowsGothic{u"Yu Gothic"_s, u"Meiryo"_s};
    const QStringList otherGothic{u"IPAPGothic"_s, u"IPAGothic"_s, u"Noto Sans CJK JP"_s};
    const QStringList otherMincho{u"IPAPMincho"_s, u"IPAMincho"_s, u"Noto Serif CJK JP"_s};
    const struct {
        FontNames names;
        QStringList rest;
    } table[] = {
        {kGothicP, windowsGothic + otherGothic},
        {kGothic, windowsGothic + QStringList{u"IPAGothic"_s, u"IPAPGothic"_s}},
        {kMinchoE, QStringList{u"Yu Mincho"_s, QString::fromUtf16(kMinchoP.japanese),
                               QString::fromUtf16(kMinchoP.english)} +
                       otherMincho},
        {kMinchoP, QStringList{u"Yu Mincho"_s} + otherMincho},
        {kMincho, QStringList{u"Yu Mincho"_s} + otherMincho},
    };
    for (const auto& entry : table) {
        const QString japanese = QString::fromUtf16(entry.names.japanese);
        const QString english = QString::fromUtf16(entry.names.english);
        // Each name of a pair stands in for the other before anything else.
        if (family == japanese)
            return QStringList{english} + entry.rest;
        if (family == english)
            return QStringList{japanese} + entry.rest;
    }
    return {};
}

void installFontSubstitutions() {
    // Only installed fonts are named as substitutes: a name that is not
    // installed would be resolved by the system's font configuration to its
    // default font (often one without Japanese punctuation), not skipped.
    const QStringList installed = QFontDatabase::families();
    for (const FontNames& names : {kGothicP, kGothic, kMinchoE, kMinchoP, kMincho}) {
        for (const char16_t* name : {names.japanese, names.english}) {
            const QString family = QString::fromUtf16(name);
            QStringList substitutes;
            for (const QString& candidate : fontCandidates(family)) {
                if (installed.contains(candidate, Qt::CaseInsensitive))
                    substitutes << candidate;
            }
            QFont::insertSubstitutions(family, substitutes);
        }
    }
}

QFont gridFont() {
    QFont f(u"ＭＳ Ｐゴシック"_s);
    f.setPointSizeF(9);
    return f;
}

} // namespace peridon
