#include "gui/analysis/AnalysisLayout.h"

using namespace Qt::StringLiterals;

namespace peridon {

const std::vector<AnalysisLayout>& analysisLayouts() {
    using L = Legend;
    using B = ButtonLayout;
    // class, menu command (name, text), submenu (name, text), description,
    // width, height (twips), print button, legend, buttons
    static const std::vector<AnalysisLayout> layouts{
        {u"出現頻度分析"_s, u"mnuSyutugenHindo"_s, u"出現頻度分析"_s, u"mnuHindo"_s, u"頻度分析"_s,
         u"過去の当選番号の出現回数を数字別に分析します"_s, 5280, 13200, false, L::Ball13,
         B::TopRight},
        {u"回数別出現分析"_s, u"mnuSyutugenKaisu"_s, u"回数別出現分析"_s, u"mnuHindo"_s,
         u"頻度分析"_s, u"過去の当選番号から出現回数別の数字を分析します"_s, 3405, 6700, true,
         L::None, B::CountWindow},
        {u"出現間隔分析"_s, u"mnuSyutugenKankaku"_s, u"出現間隔分析"_s, u"mnuKankaku"_s,
         u"間隔分析"_s, u"過去の当選数字が何回前に出現しているか分析します"_s, 6140, 13800, true,
         L::None, B::TopRight},
        {u"数字間隔分析"_s, u"mnuNumberKankaku"_s, u"数字間隔分析"_s, u"mnuKankaku"_s,
         u"間隔分析"_s, u"当選数字を第1数字～第3数字別に前回数字との数字の間隔を分析します"_s, 7050,
         13820, true, L::None, B::TopRight},
        {u"出現回数分析"_s, u"mnuZenkaiSyutugen"_s, u"出現回数分析"_s, QString(), QString(),
         u"過去の当選数字が何回出現したか分析します"_s, 6280, 13850, true, L::None, B::TopRight},
        {u"バラツキ分析"_s, u"mnuBaratsuki"_s, u"バラツキ分析"_s, QString(), QString(),
         u"過去の当選番号のバラツキを数字別に分析します"_s, 7630, 13980, true, L::Ball13,
         B::TopRight},
        {u"引っ張り分析"_s, u"mnuHippari"_s, u"引っ張り分析"_s, QString(), QString(),
         u"過去の当選数字に前回の数字が入っているか分析します"_s, 7000, 13500, false,
         L::PullPrevious, B::TopRight},
        {u"連番飛び石分析"_s, u"mnuRenbanTobiishi"_s, u"連番・飛び石分析"_s, QString(), QString(),
         u"過去の当選番号の連続数字と一つ飛び数字の傾向を分析します"_s, 7020, 13400, true, L::None,
         B::TopRight},
        {u"数字合計分析"_s, u"mnuHonsuji"_s, u"数字合計分析"_s, QString(), QString(),
         u"過去の当選番号の各数字の合計を分析します"_s, 4860, 13680, true, L::None, B::TopRight},
        {u"低数字高数字の組合せパターン分析"_s, u"mnuLowHightPattern"_s,
         u"低数字・高数字の組合せパターン分析"_s, u"mnuPattern"_s, u"組合せパターン分析"_s,
         u"過去の当選番号を低数字（０～４）と高数字（５～９）に分けて組合せパターンを分析します"_s,
         5900, 13600, true, L::None, B::TopRight},
        {u"偶数奇数の組合せパターン分析"_s, u"mnuKisuGusuPattern"_s,
         u"偶数・奇数の組合せパターン分析"_s, u"mnuPattern"_s, u"組合せパターン分析"_s,
         u"過去の当選番号を偶数と奇数に分類して分析します"_s, 5900, 13600, true, L::None,
         B::TopRight},
        {u"分割5傾向分析"_s, u"mnu5BunkatsuKeiko"_s, u"5分割傾向分析"_s, QString(), QString(),
         u"過去の当選番号の５グループに分類して分析します"_s, 6900, 13750, true, L::None,
         B::TopRight},
        {u"分割3データ分析"_s, u"mnu3BunkatsuData"_s, u"3分割データ分析"_s, u"mnuBunkatsuData"_s,
         u"分割データ分析"_s,
         u"過去の当選番号の第１～３数字をＡ～Ｃの３グループに分類して分析します"_s, 12300, 12400,
         false, L::Ball19, B::TopRight},
        {u"分割5データ分析"_s, u"mnu6BunkatsuData"_s, u"5分割データ分析"_s, u"mnuBunkatsuData"_s,
         u"分割データ分析"_s,
         u"過去の当選番号の第１～３数字をＡ～Ｅの５グループに分類して分析します"_s, 12300, 12400,
         false, L::Ball19, B::TopRight},
        {u"分割10データ分析"_s, u"mnu11BunkatsuData"_s, u"10分割データ分析"_s, u"mnuBunkatsuData"_s,
         u"分割データ分析"_s,
         u"過去の当選番号の第１～３数字をＡ～Ｊの１０グループに分類して分析します"_s, 12300, 12400,
         false, L::Ball19, B::TopRight},
    };
    return layouts;
}

const AnalysisLayout& analysisLayout(const QString& className) {
    for (const AnalysisLayout& layout : analysisLayouts())
        if (layout.className == className)
            return layout;
    static const AnalysisLayout plain{
        {}, {}, {}, {}, {}, {}, 6000, 13600, false, Legend::None, ButtonLayout::TopRight};
    return plain;
}

} // namespace peridon
