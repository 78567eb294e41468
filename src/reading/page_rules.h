#pragma once
// Page rules: the way to read the quote pages of today. A figure's rule is an XPath 1.0 path,
// evaluated on the page parsed as HTML (libxml2), whose string value holds the figure;
// optionally followed by a regular expression (PCRE2) whose first group is the figure.
//
// A rule is written "PATH" or "PATH ~ EXPRESSION": the first '~' that stands outside the
// path's string literals ends the path (XPath 1.0 has no '~' of its own). Blanks around
// either part are dropped.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/figures.h"
#include "reading/miss.h"
#include "reading/page_charset.h"

namespace tickora {

inline constexpr const char* kRuleSection = "PAGE_RULES";
// The read buffer of a rule, terminating zero included.
inline constexpr std::size_t kRuleBuffer = 1024;
// How much of a body is read and parsed for rules; today's pages reach some 1.2 MB.
inline constexpr std::size_t kMaxRulePageBytes = 4u << 20;

// The XPath steps one rule may take on one page: a scan of every element of a page of
// kMaxRulePageBytes takes some 1.5 million.
inline constexpr unsigned long kXPathOpLimit = 5'000'000;

struct RuleParts {
    std::string path;
    std::string expression;
};
RuleParts SplitRule(std::string_view text);
std::string JoinRule(std::string_view path, std::string_view expression);

// Pages are read by rules once the price has a rule.
bool UsesRules(const FigureTexts& rules);

// A page's bytes as the parser takes them: UTF-8, without zero bytes, every byte that is not
// valid UTF-8 replaced by U+FFFD. A Shift_JIS page is converted from CP932, an EUC-JP page
// byte by byte through Shift_JIS, as its name is for the patterns.
std::string PageUtf8(std::string_view bytes, PageCoding coding);
// The same, with the charset decided as for the patterns, from the whole body.
std::string PageUtf8(std::string_view bytes, std::string_view contentType);

// An HTML page parsed without network access, entity loading or error output.
class ParsedPage {
  public:
    explicit ParsedPage(std::string_view utf8);
    ~ParsedPage();
    ParsedPage(const ParsedPage&) = delete;
    ParsedPage& operator=(const ParsedPage&) = delete;
    void* Document() const { return doc_; }  // xmlDocPtr; null when nothing could be parsed

  private:
    void* doc_ = nullptr;
};

// What one rule made of a page.
struct FigureRead {
    bool ruled = false;   // the figure has a rule
    bool found = false;   // and it gave a text
    std::string value;    // CP932, as the list shows it
    std::string element;  // UTF-8: the start tag the path found ("<td class=\"x\">"), or ""
    std::string text;     // UTF-8: the path's string value, made as a figure is (cut to 400)
    std::size_t at = 0;   // where the figure stands in text (bytes)
    Miss miss = Miss::kRead;
    std::string detail;  // UTF-8: the library's own words on the failure, when it gave some
};
using RuleReading = std::array<FigureRead, kFigureCount>;

// A rule that does not compile: which part, and the library's message.
struct RuleError {
    int figure = 0;
    bool inExpression = false;  // the expression after '~', else the path
    std::string part;           // UTF-8: the path or the expression
    std::string message;        // UTF-8: libxml2's or PCRE2's words
    std::size_t offset = 0;     // in the expression, where PCRE2 stopped
};
// "genzaiti: the path "..." is no XPath 1.0 expression (...)": for logs and the probe.
std::string DescribeRuleError(const RuleError& error);

// The six rules, compiled. A rule that does not compile is named in Errors(), and the rules
// then read no page at all.
class PageRules {
  public:
    explicit PageRules(const FigureTexts& texts);
    ~PageRules();
    PageRules(const PageRules&) = delete;
    PageRules& operator=(const PageRules&) = delete;

    const std::vector<RuleError>& Errors() const { return errors_; }
    bool Broken() const { return !errors_.empty(); }

    // What the rule of figure reads from its path's text (made as a figure is), as Read does
    // once the path has found it.
    FigureRead ReadText(int figure, const std::string& text) const;
    // A time, price, change, ratio or volume whose text holds no digit counts as not found:
    // "---" or a unit alone is no figure.
    RuleReading Read(const ParsedPage& page) const;
    // 'F1_..._F6_', '_' inside a figure written as the full-width '＿'; empty when the rules
    // are broken or the price was not found.
    std::string QuoteResult(const ParsedPage& page) const;
    // The same, of what Read gave.
    std::string QuoteResult(const RuleReading& reading) const;

  private:
    struct Compiled;
    void Cut(int figure, const std::string& text, FigureRead& read) const;
    std::array<std::unique_ptr<Compiled>, kFigureCount> rules_;
    std::vector<RuleError> errors_;
};

// The QuoteResult of a body read by rules: its charset decided as for the patterns, then
// converted to UTF-8 and parsed.
std::string QuoteOfPageByRules(std::string_view bytes, std::string_view contentType,
                               const PageRules& rules);

// The text a browser shows of a page, one line per text node with its blanks folded, and
// the contents of JSON scripts, where today's pages keep their figures (UTF-8).
std::string VisibleText(const ParsedPage& page);

// Runs of ASCII white space made one blank, the ends trimmed: what XPath's normalize-space()
// makes of a text. Every other character stays as it is.
std::string FoldBlanks(std::string_view text);

// A figure's text as a reader sees it: blanks trimmed, every run of white space (no-break and
// ideographic spaces too) one blank, full-width digits, ＋ － ％ ， ． and the minus sign
// U+2212 made ASCII, and no blank where markup split a number: around its point or
// separator, after its sign, before its unit (% 円 株 倍). UTF-8 in, UTF-8 out.
std::string NormalizeFigure(std::string_view utf8);

}  // namespace tickora
