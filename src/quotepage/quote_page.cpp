#include "quotepage/quote_page.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <climits>

#include "common/codepage.h"
#include "reading/extract.h"
#include "reading/page_charset.h"
#include "reading/page_reader.h"

namespace tickora {

namespace {

constexpr std::size_t kMaxVisibleBytes = 2u << 20;

// The body cut into pieces as the patterns read it, at most maxPieces of them.
std::string Pieces(const PageCopy& copy, int maxPieces) {
    PageReader reader(maxPieces);
    reader.Feed(copy.bytes);
    reader.Finish();
    return reader.TakePage();
}

std::string Quoted(std::string_view cp932) {
    return "\"" + Cp932ToUtf8(cp932) + "\"";
}

std::array<std::string, 6> HowRules(const PageCopy& copy, const FigureTexts& texts) {
    std::array<std::string, 6> how;
    const PageRules rules(texts);
    const RuleReading reading =
        rules.Read(ParsedPage(PageUtf8(copy.bytes, copy.response.contentType)));
    for (int f = 0; f < kFigureCount; ++f) {
        const FigureRead& read = reading[f];
        const std::string key = FigureKey(f);
        for (const std::string& error : rules.Errors())
            if (error.starts_with(key + ":")) how[f] = "ルールの誤り: " + error;
        if (!how[f].empty()) continue;
        if (!read.ruled) {
            how[f] = "ルールなし: 空欄になります";
        } else if (read.found) {
            const std::string figure = Cp932ToUtf8(read.value);
            std::string text = read.text;
            if (text.compare(read.at, figure.size(), figure) == 0)
                text = text.substr(0, read.at) + "[[" + figure + "]]" +
                       text.substr(read.at + figure.size());
            how[f] = read.element + " " + text;
        } else {
            how[f] = "見つかりません: " + read.why;
        }
    }
    return how;
}

std::array<std::string, 6> HowPatterns(const std::string& page, const PatternTable& table,
                                       bool shiftJis) {
    std::array<std::string, 6> how;
    const Extraction x = TraceExtraction(page, table, shiftJis);
    for (int f = 0; f < 6; ++f) {
        const int p = f + 1;
        const PatternSearch& s = x.searches[p];
        if (x.failed == 0) {
            how[f] =
                "見つかりません: the anchor " + Quoted(table[0].prefix) + " is not in the page";
        } else if (x.failed >= 0 && p > x.failed) {
            how[f] = "not looked for: an earlier pattern failed";
        } else if (s.prefixAt == kNone) {
            how[f] = "見つかりません: the prefix " + Quoted(table[p].prefix) +
                     " is not found after byte " + std::to_string(s.from);
        } else if (s.suffixAt == kNone) {
            how[f] = "見つかりません: the suffix " + Quoted(table[p].suffix) +
                     " is not found after the prefix at byte " + std::to_string(s.prefixAt);
        } else {
            how[f] = "prefix at byte " + std::to_string(s.prefixAt) + ", suffix at byte " +
                     std::to_string(s.suffixAt);
        }
    }
    return how;
}

// Runs of white space as one blank, ends trimmed; the characters themselves as the page has them.
std::string Folded(std::string_view text) {
    std::string out;
    bool blank = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

bool Named(const xmlNode* n, const char* name) {
    return xmlStrcasecmp(n->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// Whether the text of this element is shown: not style or code, but JSON a script keeps.
bool Shows(const xmlNode* n) {
    if (Named(n, "style") || Named(n, "noscript") || Named(n, "template")) return false;
    if (!Named(n, "script")) return true;
    xmlChar* type = xmlGetProp(n, reinterpret_cast<const xmlChar*>("type"));
    const bool json = type && xmlStrstr(type, reinterpret_cast<const xmlChar*>("json"));
    xmlFree(type);
    return json;
}

}  // namespace

PageCopy FetchPageCopy(const PageSettings& settings, const std::string& code, int market,
                       const FetchOptions& options) {
    PageCopy copy;
    copy.url = settings.UrlOf(code, market);
    try {
        RawPage page = FetchRawPage(copy.url, options);
        copy.bytes = std::move(page.bytes);
        copy.response = std::move(page.response);
    } catch (const HttpError& e) {
        copy.error = FormatFetchError(e.code(), e.what());
    }
    return copy;
}

PageTrial TryPage(const PageCopy& copy, const PageSettings& settings) {
    PageTrial trial;
    trial.byRules = UsesRules(settings.m_arrRules);
    if (!copy.error.empty()) {
        trial.result = copy.error;
        trial.quote = RowQuote(trial.result);
        trial.how.fill("the page could not be fetched");
        return trial;
    }
    if (trial.byRules) {
        trial.result = QuoteOfPageByRules(copy.bytes, copy.response.contentType,
                                          PageRules(settings.m_arrRules));
        trial.how = HowRules(copy, settings.m_arrRules);
    } else {
        const PatternTable table = MakePatternTable(settings.m_arrPatternTexts);
        FetchedPage page;
        page.bytes = Pieces(copy, PageReader::kMaxPieces);
        page.response = copy.response;
        const PageCoding coding =
            CodingOf(DeclaredCharset(copy.response.contentType, page.bytes), page.bytes);
        trial.result = QuoteOfPage(page, table);
        trial.how =
            HowPatterns(PageTextFor(page.bytes, coding), table, coding != PageCoding::kEucJp);
    }
    trial.quote = RowQuote(trial.result);
    return trial;
}

std::string VisibleText(const PageCopy& copy) {
    const ParsedPage parsed(PageUtf8(copy.bytes, copy.response.contentType));
    const auto* doc = static_cast<xmlDocPtr>(parsed.Document());
    std::string text;
    const xmlNode* root = doc ? xmlDocGetRootElement(doc) : nullptr;
    for (const xmlNode* n = root; n != nullptr && text.size() < kMaxVisibleBytes;) {
        if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
            const std::string line =
                Folded(n->content ? reinterpret_cast<const char*>(n->content) : "");
            if (!line.empty()) text += line + "\n";
        }
        if (n->type == XML_ELEMENT_NODE && n->children && Shows(n)) {
            n = n->children;
            continue;
        }
        while (n != root && n->next == nullptr) n = n->parent;
        n = n == root ? nullptr : n->next;
    }
    return text;
}

PageSuggestion SuggestForPage(const PageCopy& copy, const FigureTexts& values) {
    PageSuggestion s;
    s.rules = SuggestRules(ParsedPage(PageUtf8(copy.bytes, copy.response.contentType)), values);
    const std::string read = Pieces(copy, PageReader::kMaxPieces);
    const PageCoding coding = CodingOf(DeclaredCharset(copy.response.contentType, read), read);
    s.patterns =
        SuggestPatterns(PageTextFor(read, coding), PageTextFor(Pieces(copy, INT_MAX), coding),
                        values, coding != PageCoding::kEucJp);
    return s;
}

}  // namespace tickora
