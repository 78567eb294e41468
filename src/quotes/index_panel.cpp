#include "quotes/index_panel.h"

#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/leading_int.h"
#include "quotes/extract.h"

namespace tickora {

const std::array<IndexInfo, 3>& Indices() {
    static const std::array<IndexInfo, 3> table = {{
        {"998407", Sj("日経平均"), ids::kNikkeiLine, ids::kNikkeiChange},
        {"998405", "TOPIX", ids::kTopixLine, ids::kTopixChange},
        {"23337", "JASDAQ", ids::kJasdaqLine, ids::kJasdaqChange},
    }};
    return table;
}

bool FormatIndexTexts(const IndexInfo& index, const std::string& result, std::string& line,
                      std::string& change) {
    const QuoteFields f = SplitQuoteResult(result);
    if (LeadingInt(f[2]) <= 0) return false;
    line = index.label + " ( " + f[1] + " ) " + f[2];
    change = " " + f[3] + " ";
    return true;
}

void RefreshIndexPanel(RefreshView& view, const RefreshConfig& config) {
    for (const IndexInfo& index : Indices()) {
        if (!view.Alive()) return;
        // Index codes are never 4 bytes long, so the market part is cut from the URL.
        const std::string url = ExpandQuoteUrl(config.baseUrl, config.suffixes, index.code, 0);
        std::string line, change;
        if (!FormatIndexTexts(index, FetchQuote(url, config.patterns, config.fetch), line, change))
            continue;
        view.SetControlText(index.lineId, line);
        view.SetControlText(index.changeId, change);
    }
}

}  // namespace tickora
