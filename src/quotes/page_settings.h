#pragma once
// Where the quotes come from and how their pages are read: the one value that the window,
// base_data.ini, a refresh pass and the quote-page dialog share. CP932 throughout.

#include <array>
#include <string>
#include <string_view>

#include "common/figures.h"
#include "quotes/quote_url.h"
#include "reading/extraction_pattern.h"
#include "reading/page_reading.h"

namespace tickora {

struct PageSettings {
    std::string m_strBaseUrl;  // BASE_URL: 銘柄 and 市場 stand for code and suffix
    SuffixTable m_szSuffix = DefaultSuffixes();
    PatternTexts m_arrPatternTexts = DefaultPatternTexts();  // key, meigaramei ... dekidaka
    FigureTexts m_arrRules;                                  // [PAGE_RULES]; empty: no rule
    // [INDEX_PAGES]: the page of each index in the band's order (日経平均, TOPIX, JASDAQ), a
    // full URL; empty: BASE_URL for the index's code.
    std::array<std::string, 3> m_arrIndexUrls;

    bool operator==(const PageSettings&) const = default;

    // The quote page of a stock, or of an index (a code that is not 4 bytes long).
    std::string UrlOf(std::string_view code, int market) const {
        return ExpandQuoteUrl(m_strBaseUrl, m_szSuffix, code, market);
    }
    // The page of the band's index (0..2) whose code is code.
    std::string IndexUrlOf(std::size_t index, std::string_view code) const {
        return m_arrIndexUrls[index].empty() ? UrlOf(code, 0) : m_arrIndexUrls[index];
    }
    PageReading Reading() const { return {m_arrPatternTexts, m_arrRules}; }
};

}  // namespace tickora
