#include "core/analysis/AnalysisRegistry.h"

#include "core/analysis/Builders.h"

using namespace Qt::StringLiterals;

namespace peridon {

const std::vector<AnalysisInfo>& analysisRegistry() {
    namespace b = builders;
    // class, caption, builder
    static const std::vector<AnalysisInfo> registry{
        {u"出現頻度分析"_s, u"出現頻度分析"_s, b::appearanceFrequency},
        {u"回数別出現分析"_s, u"回数別頻度分析"_s, b::appearanceByCount},
        {u"出現間隔分析"_s, u"出現間隔分析"_s, b::appearanceInterval},
        {u"数字間隔分析"_s, u"数字間隔分析"_s, b::numberInterval},
        {u"出現回数分析"_s, u"出現回数分析"_s, b::appearanceCount},
        {u"バラツキ分析"_s, u"バラツキ分析"_s, b::dispersion},
        {u"引っ張り分析"_s, u"引っ張り分析"_s, b::pull},
        {u"連番飛び石分析"_s, u"連番・飛び石分析"_s, b::consecutive},
        {u"数字合計分析"_s, u"数字合計分析"_s, b::digitSum},
        {u"低数字高数字の組合せパターン分析"_s, u"低数字・高数字の組合せパターン分析"_s,
         b::lowHighPattern},
        {u"偶数奇数の組合せパターン分析"_s, u"偶数・奇数の組合せパターン分析"_s, b::evenOddPattern},
        {u"分割5傾向分析"_s, u"5分割傾向分析"_s, b::fiveSplitTendency},
        {u"分割3データ分析"_s, u"3分割データ分析"_s, b::split3},
        {u"分割5データ分析"_s, u"5分割データ分析"_s, b::split5},
        {u"分割10データ分析"_s, u"10分割データ分析"_s, b::split10},
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
