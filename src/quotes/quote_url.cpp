#include "quotes/quote_url.h"

#include "common/codepage.h"
#include "common/sjis.h"

namespace tickora {

SuffixTable DefaultSuffixes() {
    SuffixTable t;
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = Markets()[i].defaultSuffix;
    return t;
}

const std::string& CodePlaceholder() {
    static const std::string text = Sj("銘柄");
    return text;
}

const std::string& MarketPlaceholder() {
    static const std::string text = Sj("市場");
    return text;
}

std::string ExpandQuoteUrl(std::string_view baseUrl, const SuffixTable& suffixes,
                           std::string_view code, int marketIndex) {
    std::string url = ReplaceAll(baseUrl, CodePlaceholder(), code);
    if (code.size() == 4) {
        const bool known = marketIndex >= 0 && marketIndex < kMarketCount;
        return ReplaceAll(url, MarketPlaceholder(),
                          known ? suffixes[static_cast<std::size_t>(marketIndex)] : "");
    }
    url.resize(url.size() >= 5 ? url.size() - 5 : 0);
    return url;
}

}  // namespace tickora
