#include "core/analysis/AnalysisRegistry.h"

#include "core/analysis/Builders.h"

namespace peridon {

const std::vector<AnalysisInfo>& analysisRegistry() {
    using L = Legend;
    using B = ButtonLayout;
    namespace b = builders;
    static const std::vector<AnalysisInfo> registry{
        {u"出現頻度分析"_qs, u"mnuSyutugenHindo"_qs, u"出現頻度分析"_qs,
         u"過去の当選番号の出現回数を数字別に分析します"_qs, 5280, 13200, false, L::Ball13,
         B::TopRight, b::appearanceFrequency},
        {u"回数別出現分析"_qs, u"mnuSyutugenKaisu"_qs, u"回数別頻度分析"_qs,
         u"過去の当選番号から出現回数別の数字を分析します"_qs, 3405, 6700, true, L::None,
         B::CountWindow, b::appearanceByCount},
        {u"出現間隔分析"_qs, u"mnuSyutugenKankaku"_qs, u"出現間隔分析"_qs,
         u"過去の当選数字が何回前に出現しているか分析します"_qs, 6140, 13800, true, L::None,
         B::TopRight, b::appearanceInterval},
        {u"数字間隔分析"_qs, u"mnuNumberKankaku"_qs, u"数字間隔分析"_qs,
         u"当選数字を第1数字～第3数字別に前回数字との数字の間隔を分析します"_qs, 7050, 13820, true,
         L::None, B::TopRight, b::numberInterval},
        {u"出現回数分析"_qs, u"mnuZenkaiSyutugen"_qs, u"出現回数分析"_qs,
         u"過去の当選数字が何回出現したか分析します"_qs, 6280, 13850, true, L::None, B::TopRight,
         b::appearanceCount},
        {u"バラツキ分析"_qs, u"mnuBaratsuki"_qs, u"バラツキ分析"_qs,
         u"過去の当選番号のバラツキを数字別に分析します"_qs, 7630, 13980, true, L::Ball13,
         B::TopRight, b::dispersion},
        {u"引っ張り分析"_qs, u"mnuHippari"_qs, u"引っ張り分析"_qs,
         u"過去の当選数字に前回の数字が入っているか分析します"_qs, 7000, 13500, false,
         L::PullPrevious, B::TopRight, b::pull},
        {u"連番飛び石分析"_qs, u"mnuRenbanTobiishi"_qs, u"連番・飛び石分析"_qs,
         u"過去の当選番号の連続数字と一つ飛び数字の傾向を分析します"_qs, 7020, 13400, true, L::None,
         B::TopRight, b::consecutive},
        {u"数字合計分析"_qs, u"mnuHonsuji"_qs, u"数字合計分析"_qs,
         u"過去の当選番号の各数字の合計を分析します"_qs, 4860, 13680, true, L::None, B::TopRight,
         b::digitSum},
        {u"低数字高数字の組合せパターン分析"_qs, u"mnuLowHightPattern"_qs,
         u"低数字・高数字の組合せパターン分析"_qs,
         u"過去の当選番号を低数字（０～４）と高数字（５～９）に分けて組合せパターンを分析します"_qs,
         5900, 13600, true, L::None, B::TopRight, b::lowHighPattern},
        {u"偶数奇数の組合せパターン分析"_qs, u"mnuKisuGusuPattern"_qs,
         u"偶数・奇数の組合せパターン分析"_qs, u"過去の当選番号を偶数と奇数に分類して分析します"_qs,
         5900, 13600, true, L::None, B::TopRight, b::evenOddPattern},
        {u"分割5傾向分析"_qs, u"mnu5BunkatsuKeiko"_qs, u"5分割傾向分析"_qs,
         u"過去の当選番号の５グループに分類して分析します"_qs, 6900, 13750, true, L::None,
         B::TopRight, b::fiveSplitTendency},
        {u"分割3データ分析"_qs, u"mnu3BunkatsuData"_qs, u"3分割データ分析"_qs,
         u"過去の当選番号の第１～３数字をＡ～Ｃの３グループに分類して分析します"_qs, 12300, 12400,
         false, L::Ball19, B::TopRight, b::split3},
        {u"分割5データ分析"_qs, u"mnu6BunkatsuData"_qs, u"5分割データ分析"_qs,
         u"過去の当選番号の第１～３数字をＡ～Ｅの５グループに分類して分析します"_qs, 12300, 12400,
         false, L::Ball19, B::TopRight, b::split5},
        {u"分割10データ分析"_qs, u"mnu11BunkatsuData"_qs, u"10分割データ分析"_qs,
         u"過去の当選番号の第１～３数字をＡ～Ｊの１０グループに分類して分析します"_qs, 12300, 12400,
         false, L::Ball19, B::TopRight, b::split10},
    };
    return registry;
}

const AnalysisInfo* findAnalysis(const QString& className) {
    for (const AnalysisInfo& info : analysisRegistry())
        if (info.className == className)
            return &info;
    return nullptr;
}

} // namespace peridon
