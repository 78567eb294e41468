#pragma once
// Where the quotes come from and how their pages are read: the one value that the window,
// base_data.ini, a refresh pass and the quote-page dialog share. CP932 throughout.

#include <string>

#include "common/figures.h"
#include "quotes/quote_url.h"
#include "reading/extraction_pattern.h"
#include "reading/page_reading.h"

namespace tickora {

struct PageSettings {
    std::string m_strBaseUrl;  // BASE_URL: 銘柄 and 市場 stand for code and suffix
    SuffixTable m_szSuffix = DefaultSuffixes();
    PatternTexts m_arrPatternTexts = DefaultPatternTexts();  // key, meigaramei ... dekidaka
    FigureTexts m_arrRules;          // [PAGE_RULES]; empty: no rule

    bool operator==(const PageSettings&) const = default;

    // The quote page of a stock, or of an index (a code that is not 4 bytes long).
    std::string UrlOf(std::string_view code, int market) const {
        return ExpandQuoteUrl(m_strBaseUrl, m_szSuffix, code, market);
    }
    PageReading Reading() const { return {m_arrPatternTexts, m_arrRules}; }
};

}  // namespace tickora
