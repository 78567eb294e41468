#include "quotes/index_panel.h"

#include "common/codepage.h"
#include "common/leading_int.h"
#include "reading/extract.h"

namespace tickora {

const std::array<IndexInfo, 3>& Indices() {
    static const std::array<IndexInfo, 3> table = {{
        {"998407", Sj("日経平均")},
        {"998405", "TOPIX"},
        {"23337", "JASDAQ"},
    }};
    return table;
}

std::optional<IndexTexts> FormatIndexTexts(const IndexInfo& index, const std::string& result) {
    const FigureTexts f = SplitQuoteResult(result);
    if (LeadingInt(f[2]) <= 0) return std::nullopt;
    return IndexTexts{index.label + " ( " + f[1] + " ) " + f[2], " " + f[3] + " "};
}

void RefreshIndexPanel(RefreshView& view, const RefreshConfig& config, const PageReading& reading) {
    for (std::size_t i = 0; i < Indices().size(); ++i) {
        if (!view.Alive()) return;
        // Index codes are never 4 bytes long: without a page of its own, the market part is
        // cut from BASE_URL.
        const std::string url = config.page.IndexUrlOf(i, Indices()[i].code);
        if (const auto texts =
                FormatIndexTexts(Indices()[i], FetchQuote(url, reading, config.fetch)))
            view.ShowIndex(i, *texts);
    }
}

}  // namespace tickora
