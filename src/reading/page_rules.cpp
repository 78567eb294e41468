#include "reading/page_rules.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <pcre2.h>

#include <mutex>

#include "common/codepage.h"
#include "common/sjis.h"
#include "reading/extract.h"
#include "reading/extraction_pattern.h"

namespace tickora {

namespace {

// Bounds of one rule on one page: the regular expression's backtracking, nesting and memory
// (KiB), so that no rule or page can hold a pass for long.
constexpr uint32_t kMatchLimit = 1'000'000;
constexpr uint32_t kDepthLimit = 1'000;
constexpr uint32_t kHeapLimitKiB = 8'192;
constexpr std::size_t kShownTextBytes = 400;

constexpr int kParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                              HTML_PARSE_NONET | HTML_PARSE_COMPACT | HTML_PARSE_IGNORE_ENC;

// The last message libxml2 gave this thread; it prints nothing itself.
thread_local std::string tLastXmlError;

void KeepXmlError(void*, xmlError* error) {
    tLastXmlError = error && error->message ? error->message : "";
    while (!tLastXmlError.empty() && tLastXmlError.back() == '\n') tLastXmlError.pop_back();
}

void DropGenericError(void*, const char*, ...) {}

// libxml2's error handlers are the thread's own.
void QuietXml() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
    xmlSetStructuredErrorFunc(nullptr, KeepXmlError);
    xmlSetGenericErrorFunc(nullptr, DropGenericError);
}

bool IsBlankByte(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlankByte(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlankByte(s.back())) s.remove_suffix(1);
    return s;
}

bool IsSpace(char32_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0xA0 || c == 0x3000 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x2028 ||
           c == 0x2029 || c == 0x85;
}

// The ASCII a full-width figure character stands for, or 0.
char AsciiOf(char32_t c) {
    if (c >= 0xFF10 && c <= 0xFF19) return static_cast<char>('0' + (c - 0xFF10));
    switch (c) {
        case 0xFF0B:
            return '+';
        case 0xFF0D:
        case 0x2212:
            return '-';
        case 0xFF05:
            return '%';
        case 0xFF0C:
            return ',';
        case 0xFF0E:
            return '.';
    }
    return 0;
}

std::string Pcre2Message(int code) {
    PCRE2_UCHAR message[256];
    pcre2_get_error_message(code, message, sizeof message);
    return reinterpret_cast<char*>(message);
}

bool HoldsDigit(std::string_view text) {
    return text.find_first_of("0123456789") != std::string_view::npos;
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the blank between before and after is one that markup put inside a number: around
// its point or separator ("408. 0"), after its sign ("+ 12"), or before its unit ("0 円").
bool InsideNumber(std::string_view before, std::string_view after) {
    if (before.empty() || after.empty()) return false;
    const char b = before.back(), a = after.front();
    if ((b == '.' || b == ',') && before.size() >= 2 && IsAsciiDigit(before[before.size() - 2]))
        return IsAsciiDigit(a);
    if ((b == '+' || b == '-') && (before.size() == 1 || before[before.size() - 2] == ' ' ||
                                   before[before.size() - 2] == '('))
        return IsAsciiDigit(a);
    if (!IsAsciiDigit(b)) return false;
    if ((a == '.' || a == ',') && after.size() >= 2) return IsAsciiDigit(after[1]);
    for (const std::string_view unit : {"%", "円", "株", "倍"})
        if (after.starts_with(unit)) return true;
    return false;
}

// Drops the blanks that markup put inside numbers: "408. 0 円" reads "408.0円".
std::string JoinNumbers(std::string text) {
    std::string out;
    out.reserve(text.size());
    const std::string_view all = text;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] != ' ' || !InsideNumber(out, all.substr(i + 1))) out += all[i];
    return out;
}

std::string ElementTag(const xmlNode* node) {
    if (node == nullptr || node->type != XML_ELEMENT_NODE) return {};
    std::string tag = "<" + std::string(reinterpret_cast<const char*>(node->name));
    for (const char* attribute : {"id", "class"}) {
        xmlChar* v = xmlGetProp(node, reinterpret_cast<const xmlChar*>(attribute));
        if (v == nullptr) continue;
        tag += std::string(" ") + attribute + "=\"" + reinterpret_cast<const char*>(v) + "\"";
        xmlFree(v);
    }
    return tag + ">";
}

}  // namespace

std::string DescribeRuleError(const RuleError& e) {
    const std::string detail = e.message.empty() ? "" : " (" + e.message + ")";
    if (!e.inExpression)
        return std::string(FigureKey(e.figure)) + ": the path \"" + e.part +
               "\" is no XPath 1.0 expression" + detail;
    return std::string(FigureKey(e.figure)) + ": the expression \"" + e.part +
           "\" does not compile (" + e.message + " at offset " + std::to_string(e.offset) + ")";
}

RuleParts SplitRule(std::string_view text) {
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '~') {
            return {std::string(Trim(text.substr(0, i))), std::string(Trim(text.substr(i + 1)))};
        }
    }
    return {std::string(Trim(text)), {}};
}

std::string JoinRule(std::string_view path, std::string_view expression) {
    std::string rule(Trim(path));
    if (!Trim(expression).empty()) rule += " ~ " + std::string(Trim(expression));
    return rule;
}

bool UsesRules(const FigureTexts& rules) {
    return !SplitRule(rules[kPriceFigure]).path.empty();
}

namespace {

// Valid UTF-8 for the parser, which would otherwise take the rest of the page for Latin-1.
std::string ValidUtf8(std::string_view in) {
    static const std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(in.size());
    std::size_t run = 0;  // start of the run of bytes copied as they are
    for (std::size_t i = 0; i < in.size();) {
        const auto c = static_cast<unsigned char>(in[i]);
        if (c != 0 && c < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = c == 0 ? 0 : Utf8SequenceLength(in.substr(i, 4));
        if (n > 0) {
            i += n;
            continue;
        }
        out.append(in.substr(run, i - run));
        if (c != 0) out.append(kReplacement);
        run = ++i;
    }
    out.append(in.substr(run));
    return out;
}

}  // namespace

std::string PageUtf8(std::string_view bytes, PageCoding coding) {
    switch (coding) {
        case PageCoding::kShiftJis:
            return ValidUtf8(Cp932ToUtf8(bytes));
        case PageCoding::kEucJp:
            return ValidUtf8(Cp932ToUtf8(EucJpToShiftJis(bytes)));
        case PageCoding::kUtf8:
            break;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return ValidUtf8(bytes);
}

std::string PageUtf8(std::string_view bytes, std::string_view contentType) {
    return PageUtf8(bytes, CodingOfPage(contentType, bytes));
}

std::string FoldBlanks(std::string_view text) {
    std::string out;
    bool blank = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string NormalizeFigure(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    bool blank = false;  // a blank is owed before the next character
    for (std::size_t i = 0; i < in.size();) {
        std::size_t n = 0;
        const char32_t c = Utf8CodePoint(in.substr(i), n);  // not UTF-8: '?' once converted
        if (IsSpace(c)) {
            blank = !out.empty();
        } else {
            if (blank) out += ' ';
            blank = false;
            if (const char ascii = AsciiOf(c))
                out += ascii;
            else
                out.append(in.substr(i, n));
        }
        i += n;
    }
    return JoinNumbers(std::move(out));
}

ParsedPage::ParsedPage(std::string_view utf8) {
    QuietXml();
    const std::string_view page = utf8.substr(0, kMaxRulePageBytes);
    doc_ =
        htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, "UTF-8", kParseOptions);
}

ParsedPage::~ParsedPage() {
    if (doc_) xmlFreeDoc(static_cast<xmlDocPtr>(doc_));
}

struct PageRules::Compiled {
    xmlXPathCompExprPtr path = nullptr;
    pcre2_code* expression = nullptr;
    std::string pathText;
    int sameAs = kFigureCount;  // the first figure with the same path
    ~Compiled() {
        if (path) xmlXPathFreeCompExpr(path);
        if (expression) pcre2_code_free(expression);
    }
};

PageRules::PageRules(const FigureTexts& texts) {
    QuietXml();
    for (int f = 0; f < kFigureCount; ++f) {
        const RuleParts parts = SplitRule(texts[f]);
        if (parts.path.empty()) continue;
        auto rule = std::make_unique<Compiled>();
        const std::string path = Cp932ToUtf8(parts.path);
        rule->pathText = path;
        for (int g = f - 1; g >= 0; --g)
            if (rules_[g] && rules_[g]->pathText == path) rule->sameAs = g;
        tLastXmlError.clear();
        rule->path = xmlXPathCompile(reinterpret_cast<const xmlChar*>(path.c_str()));
        if (rule->path == nullptr) {
            errors_.push_back({f, false, path, tLastXmlError, 0});
            continue;
        }
        if (!parts.expression.empty()) {
            const std::string expression = Cp932ToUtf8(parts.expression);
            int code = 0;
            PCRE2_SIZE offset = 0;
            rule->expression = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression.data()),
                                             expression.size(), PCRE2_UTF, &code, &offset, nullptr);
            // Matching by JIT where it can; the match limits hold either way.
            if (rule->expression) pcre2_jit_compile(rule->expression, PCRE2_JIT_COMPLETE);
            if (rule->expression == nullptr) {
                errors_.push_back({f, true, expression, Pcre2Message(code), offset});
                continue;
            }
        }
        rules_[f] = std::move(rule);
    }
}

PageRules::~PageRules() = default;

namespace {

// What a path found on the page: its string value made as a figure is, and its element.
struct PathResult {
    bool found = false;
    std::string text, element;
    Miss miss = Miss::kRead;
    std::string detail;
};

PathResult Evaluate(xmlXPathContextPtr context, xmlXPathCompExprPtr path) {
    PathResult r;
    context->opCount = 0;
    tLastXmlError.clear();
    xmlXPathObjectPtr result = xmlXPathCompiledEval(path, context);
    if (result == nullptr) {
        r.miss = Miss::kPathFailed;
        r.detail = tLastXmlError;
    } else if (result->type == XPATH_NODESET && xmlXPathNodeSetIsEmpty(result->nodesetval)) {
        r.miss = Miss::kNothingFound;
    } else {
        if (result->type == XPATH_NODESET) r.element = ElementTag(result->nodesetval->nodeTab[0]);
        xmlChar* text = xmlXPathCastToString(result);
        r.text = NormalizeFigure(text ? reinterpret_cast<const char*>(text) : "");
        xmlFree(text);
        r.found = true;
    }
    xmlXPathFreeObject(result);
    return r;
}

pcre2_match_context* MatchLimits() {
    pcre2_match_context* limits = pcre2_match_context_create(nullptr);
    if (limits) {
        pcre2_set_match_limit(limits, kMatchLimit);
        pcre2_set_depth_limit(limits, kDepthLimit);
        pcre2_set_heap_limit(limits, kHeapLimitKiB);
    }
    return limits;
}

// The first group of the expression in text (or the whole match when it has no group).
bool MatchFigure(const pcre2_code* expression, const std::string& text, std::size_t& at,
                 std::size_t& size, FigureRead& read) {
    // The limits are the same for every match: one context per thread holds them.
    static thread_local const std::unique_ptr<pcre2_match_context, void (*)(pcre2_match_context*)>
        limits(MatchLimits(), pcre2_match_context_free);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(expression, nullptr);
    if (data == nullptr || limits == nullptr) {
        pcre2_match_data_free(data);
        read.miss = Miss::kGaveUp;
        read.detail = Pcre2Message(PCRE2_ERROR_NOMEMORY);
        return false;
    }
    const int rc = pcre2_match(expression, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                               0, 0, data, limits.get());
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    uint32_t groups = 0;
    pcre2_pattern_info(expression, PCRE2_INFO_CAPTURECOUNT, &groups);
    const int group = groups > 0 ? 1 : 0;
    const bool found = rc > group && ovector[2 * group] != PCRE2_UNSET;
    if (found) {
        at = ovector[2 * group];
        size = ovector[2 * group + 1] - at;
    } else if (rc == PCRE2_ERROR_NOMATCH || rc > 0) {
        read.miss = Miss::kNoMatch;
    } else {
        read.miss = Miss::kGaveUp;
        read.detail = Pcre2Message(rc);
    }
    pcre2_match_data_free(data);
    return found;
}

// At most kShownTextBytes of text, never ending inside a character.
std::string Shown(std::string_view text) {
    if (text.size() <= kShownTextBytes) return std::string(text);
    return std::string(text.substr(0, Utf8CharacterStart(text, kShownTextBytes)));
}

}  // namespace

RuleReading PageRules::Read(const ParsedPage& page) const {
    RuleReading reading;
    auto* doc = static_cast<xmlDocPtr>(page.Document());
    xmlXPathContextPtr context = doc ? xmlXPathNewContext(doc) : nullptr;
    if (context) context->opLimit = kXPathOpLimit;
    // Figures that share a path (change and ratio in one element, a script's JSON) share
    // its one evaluation.
    std::array<PathResult, kFigureCount> results;
    for (int f = 0; f < kFigureCount; ++f) {
        FigureRead& read = reading[f];
        const Compiled* rule = rules_[f].get();
        if (rule == nullptr) continue;
        read.ruled = true;
        if (context == nullptr) {
            read.miss = Miss::kNoHtml;
            continue;
        }
        results[f] = rule->sameAs < f ? results[rule->sameAs] : Evaluate(context, rule->path);
        const PathResult& found = results[f];
        read.element = found.element;
        read.miss = found.miss;
        read.detail = found.detail;
        if (found.found) Cut(f, found.text, read);
    }
    if (context) xmlXPathFreeContext(context);
    return reading;
}

FigureRead PageRules::ReadText(int figure, const std::string& text) const {
    FigureRead read;
    read.ruled = rules_[static_cast<std::size_t>(figure)] != nullptr;
    if (read.ruled) Cut(figure, text, read);
    return read;
}

void PageRules::Cut(int f, const std::string& text, FigureRead& read) const {
    const Compiled* rule = rules_[static_cast<std::size_t>(f)].get();
    std::size_t at = 0, size = text.size();
    const bool matched = !rule->expression || MatchFigure(rule->expression, text, at, size, read);
    // The text from a little before the figure, which may stand deep in a script.
    const std::size_t from = Utf8CharacterStart(text, at > 60 ? at - 60 : 0);
    read.text = Shown(std::string_view(text).substr(from));
    read.at = at - from;
    if (!matched) return;
    const std::string figure = NormalizeFigure(text.substr(at, size));
    if (figure.empty()) {
        read.miss = Miss::kEmpty;
    } else if (f != kNameFigure && !HoldsDigit(figure)) {
        read.miss = Miss::kNotANumber;
    } else {
        read.found = true;
        read.value = Utf8ToCp932(figure);
    }
}

std::string PageRules::QuoteResult(const ParsedPage& page) const {
    return Broken() ? std::string() : QuoteResult(Read(page));
}

std::string PageRules::QuoteResult(const RuleReading& reading) const {
    if (Broken() || !reading[kPriceFigure].found) return {};
    static const std::string kWideLowLine = Sj("＿");
    std::string result;
    for (const FigureRead& read : reading)
        result += ReplaceAll(read.value, "_", kWideLowLine) + "_";
    return result;
}

std::string QuoteOfPageByRules(std::string_view bytes, std::string_view contentType,
                               const PageRules& rules) {
    if (rules.Broken()) return {};
    return rules.QuoteResult(ParsedPage(PageUtf8(bytes, contentType)));
}

}  // namespace tickora
