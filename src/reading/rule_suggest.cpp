// Wrapper induction for one quote page: find each typed figure where the page shows it, choose
// the places that stand together with the price (the quote block), and write for each the path
// a scraper author would write, checked on this page and, when there is one, on a second
// stock's page of the same layout.

#include "reading/rule_suggest.h"

#include <libxml/xpath.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <iterator>
#include <map>
#include <optional>

#include "common/codepage.h"
#include "reading/figure_match.h"
#include "reading/page_index.h"
#include "reading/page_tree.h"
#include "reading/rule_paths.h"

namespace tickora {

namespace {

constexpr std::size_t kMaxCandidateText = 600;  // bytes of an element's text looked into
constexpr std::size_t kMaxRejections = 8;
constexpr std::size_t kMaxScriptKeyBytes = 24;

// What a path gives on a page: its first node in document order and how many it matches.
struct PathHits {
    const xmlNode* first = nullptr;
    int count = 0;
};

PathHits Evaluate(const ParsedPage& page, const std::string& path) {
    PathHits hits;
    auto* doc = static_cast<xmlDocPtr>(page.Document());
    xmlXPathContextPtr context = doc ? xmlXPathNewContext(doc) : nullptr;
    if (context == nullptr) return hits;
    context->opLimit = kXPathOpLimit;
    xmlXPathObjectPtr result =
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path.c_str()), context);
    if (result && result->type == XPATH_NODESET && result->nodesetval &&
        result->nodesetval->nodeNr > 0) {
        hits.first = result->nodesetval->nodeTab[0];
        hits.count = result->nodesetval->nodeNr;
    }
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    return hits;
}

// What a rule reads of its figure on a page, UTF-8; nullopt when it reads nothing. text: the
// text of the element its path finds first, when known already.
std::optional<std::string> ReadWith(const ParsedPage& page, int f, const std::string& rule,
                                    const std::string* text = nullptr) {
    FigureTexts texts;
    texts[f] = Utf8ToCp932(rule);
    const PageRules rules(texts);
    if (rules.Broken()) return std::nullopt;
    const FigureRead read = text ? rules.ReadText(f, *text) : rules.Read(page)[f];
    if (!read.found) return std::nullopt;
    return Cp932ToUtf8(read.value);
}

// The JSON key before a figure in a script ("\"price\":\""): up to the previous ',' or '{'.
std::string ScriptKey(std::string_view text, std::size_t at) {
    const std::size_t from = text.find_last_of(",{", at == 0 ? 0 : at - 1);
    const std::size_t start = from == std::string_view::npos ? 0 : from + 1;
    std::string key = FoldBlanks(text.substr(start, at - start));
    if (key.size() > kMaxScriptKeyBytes || key.size() < 3 ||
        key.find_first_of("0123456789") != std::string::npos)
        return {};
    return key;
}

class Suggester {
  public:
    Suggester(const ParsedPage& page, const FigureTexts& values, const SecondPage& second)
        : index_(page), second_(second) {
        for (int f = 0; f < kFigureCount; ++f) {
            typed_[f] = NormalizeFigure(Cp932ToUtf8(values[f]));
            secondTyped_[f] = NormalizeFigure(Cp932ToUtf8(second.values[f]));
            unstable_.figures.push_back(typed_[f]);
        }
        FindPlaces();
        ChooseBlock();
    }

    FigureRule RuleFor(int f) {
        FigureRule out;
        out.miss = typed_[f].empty()    ? SuggestMiss::kNoValue
                   : index_.Empty()     ? SuggestMiss::kNoHtml
                   : places_[f].empty() ? SuggestMiss::kNotInPage
                                        : SuggestMiss::kNoStableAnchor;
        if (out.miss != SuggestMiss::kNoStableAnchor) return out;
        for (const xmlNode* e : Ordered(f)) {
            if (!TryPlace(f, e, out)) continue;
            out.miss = SuggestMiss::kRuled;
            return out;
        }
        return out;
    }

  private:
    FigureKind Kind(int f) const { return KindOf(f); }

    // The innermost elements whose text shows each figure.
    void FindPlaces() {
        std::array<std::vector<const xmlNode*>, kFigureCount> holding;
        std::vector<std::optional<FigureMatcher>> matchers(kFigureCount);
        for (int f = 0; f < kFigureCount; ++f)
            if (!typed_[f].empty()) matchers[f].emplace(Kind(f), typed_[f]);
        for (const xmlNode* e : index_.Elements()) {
            const bool script = TagOf(e) == "script";
            if (index_.TextBytes(e) > kMaxCandidateText && !script) continue;
            const std::string& text = index_.Text(e);
            // The four numbers share one look at the text.
            const std::vector<Span> numbers = FigureSpans(FigureKind::kNumber, text);
            for (int f = 0; f < kFigureCount; ++f) {
                if (!matchers[f]) continue;
                const bool number = Kind(f) == FigureKind::kNumber;
                if (!(number ? matchers[f]->In(text, numbers) : matchers[f]->In(text)).empty())
                    holding[f].push_back(e);
            }
        }
        for (int f = 0; f < kFigureCount; ++f)
            for (const xmlNode* e : holding[f])
                if (std::none_of(holding[f].begin(), holding[f].end(),
                                 [&](const xmlNode* c) { return c != e && c->parent == e; }) &&
                    !Fragment(f, e))
                    places_[f].push_back(e);
        // A price labelled as another price of the day (the previous close, the open, a high)
        // is the price only when it stands nowhere else.
        std::vector<const xmlNode*>& prices = places_[kPriceFigure];
        std::vector<const xmlNode*> unlabelled;
        std::copy_if(prices.begin(), prices.end(), std::back_inserter(unlabelled),
                     [&](const xmlNode* e) { return !LabelledAsOtherPrice(e); });
        if (!unlabelled.empty()) prices = unlabelled;
    }

    // A figure that is only part of a larger one where the element stands: the "0" of the
    // price "5,970.0" split by a tag at its point.
    bool Fragment(int f, const xmlNode* e) const {
        if (Kind(f) == FigureKind::kName) return false;
        const auto glued = [](const xmlNode* n, bool atEnd) {
            if (n == nullptr || n->type != XML_TEXT_NODE) return false;
            xmlChar* content = xmlNodeGetContent(n);
            const std::string raw = TextOf(content);
            xmlFree(content);
            const std::string text = FoldBlanks(raw);
            if (raw.empty() || text.empty()) return false;
            const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)); };
            // A digit right against it, or a point or separator even across a line break.
            if (digit(atEnd ? raw.back() : raw.front())) return true;
            const char c = atEnd ? text.back() : text.front();
            return c == '.' || c == ',';
        };
        for (const xmlNode* x = e; x && x->type == XML_ELEMENT_NODE; x = x->parent) {
            if (glued(x->prev, true) || glued(x->next, false)) return true;
            // Up through elements that hold nothing else.
            if (x->prev || x->next) break;
        }
        return false;
    }

    bool LabelledAsOtherPrice(const xmlNode* e) {
        static constexpr std::string_view kOtherPrices[] = {
            "前日", "始値", "高値", "安値", "年初来", "上場来", "基準", "目標", "予想", "平均"};
        const std::string label = LabelBefore(index_, e);
        return std::any_of(
            std::begin(kOtherPrices), std::end(kOtherPrices),
            [&](std::string_view word) { return label.find(word) != std::string::npos; });
    }

    // How many other figures stand inside a, and how close they stand to p there.
    std::pair<int, int> Together(const xmlNode* p, const xmlNode* a) const {
        int count = 0, closeness = 0;
        for (int g = 0; g < kFigureCount; ++g) {
            if (g == kPriceFigure) continue;
            int nearest = -1;
            for (const xmlNode* q : places_[g])
                if (index_.Inside(q, a))
                    nearest = std::max(nearest, PageIndex::Depth(PageIndex::CommonAncestor(p, q)));
            if (nearest >= 0) ++count, closeness += nearest;
        }
        return {count, closeness};
    }

    // The quote block: the smallest part of the page that holds a place of the price and the
    // most other figures; the price's place in it is the one the others stand closest to.
    void ChooseBlock() {
        int bestCount = -1, bestSize = INT_MAX, bestCloseness = -1;
        for (const xmlNode* p : places_[kPriceFigure])
            for (const xmlNode* a = p; a != nullptr && a->type == XML_ELEMENT_NODE; a = a->parent) {
                const auto [count, closeness] = Together(p, a);
                const int size = index_.Size(a);
                if (count < bestCount || (count == bestCount && size > bestSize) ||
                    (count == bestCount && size == bestSize && closeness <= bestCloseness))
                    continue;
                bestCount = count, bestSize = size, bestCloseness = closeness;
                price_ = p, block_ = a;
            }
    }

    // A figure's places, best first: inside the block, then nearest the price. Never the
    // first because it comes first.
    std::vector<const xmlNode*> Ordered(int f) const {
        std::vector<const xmlNode*> places = places_[f];
        if (price_ == nullptr) return places;
        const auto key = [&](const xmlNode* e) {
            const int inside = index_.Inside(e, block_) ? 1 : 0;
            const int near = PageIndex::Depth(PageIndex::CommonAncestor(e, price_));
            const int distance = std::abs(index_.Order(e) - index_.Order(price_));
            return std::make_tuple(-inside, -near, distance);
        };
        std::stable_sort(places.begin(), places.end(),
                         [&](const xmlNode* a, const xmlNode* b) { return key(a) < key(b); });
        return places;
    }

    // The place, and above it the elements that show the same text: a cell rather than the
    // font or bold inside it, which a rise may have and a fall not.
    std::vector<const xmlNode*> SameText(const xmlNode* e) {
        std::vector<const xmlNode*> out = {e};
        const std::string text = index_.Text(e);
        for (const xmlNode* a = e->parent; a && a->type == XML_ELEMENT_NODE && out.size() < 4;
             a = a->parent) {
            if (index_.TextBytes(a) > kMaxCandidateText || index_.Text(a) != text) break;
            out.insert(out.begin(), a);
        }
        return out;
    }

    bool TryPlace(int f, const xmlNode* place, FigureRule& out) {
        for (const xmlNode* e : SameText(place))
            if (TryElement(f, e, out)) return true;
        return false;
    }

    bool TryElement(int f, const xmlNode* e, FigureRule& out) {
        const std::string& text = index_.Text(e);
        std::vector<Rejection> rejected;
        std::vector<PathCandidate> paths = PathsTo(index_, e, unstable_, rejected);
        for (const Span& span : Occurrences(Kind(f), typed_[f], text)) {
            if (TagOf(e) == "script") paths = ScriptPaths(f, text, span);
            for (const PathCandidate& path : paths)
                for (const std::string& expression : TagOf(e) == "script"
                                                         ? std::vector<std::string>{""}
                                                         : ExpressionsFor(Kind(f), text, span))
                    if (Accept(f, e, path, JoinRule(path.path, expression), out)) return true;
        }
        for (const Rejection& r : rejected) Reject(out, r.path, r.why);
        return false;
    }

    std::vector<PathCandidate> ScriptPaths(int f, const std::string& text, Span span) const {
        const std::string key = ScriptKey(text, span.at);
        if (key.empty() || Literal(key).empty()) return {};
        const std::string figure = text.substr(span.at, span.size);
        // A value in quotes or not: the key may end before or after its opening quote.
        const std::string quote = key.ends_with('"') ? "" : "\"?";
        return {
            {"//script[contains(.," + Literal(key) + ")] ~ " + EscapeKey(key) + quote +
                 (Kind(f) == FigureKind::kNumber ? "([-+]?\\d[\\d,]*(?:\\.\\d+)?)" : "([^\",}]+)"),
             AnchorKind::kScript, 0}};
    }

    static std::string EscapeKey(const std::string& key) {
        std::string out;
        for (const char c : key) {
            if (std::string_view("\\^$.|?*+()[]{}/").find(c) != std::string_view::npos) out += '\\';
            out += c;
        }
        return out;
    }

    void Reject(FigureRule& out, const std::string& path, SuggestMiss why) const {
        if (out.rejected.size() < kMaxRejections) out.rejected.push_back({path, why});
    }

    // Whether rule, run as the program runs it, reads figure f from e on this page and a figure
    // of its kind on the second page.
    bool Accept(int f, const xmlNode* e, const PathCandidate& path, const std::string& rule,
                FigureRule& out) {
        const PathHits hits = Hits(SplitRule(rule).path);
        if (hits.first != e) return Reject(out, rule, SuggestMiss::kNotFirst), false;
        const std::optional<std::string> read = ReadWith(index_.Page(), f, rule, &index_.Text(e));
        if (!read || !ReadsAsTyped(Kind(f), typed_[f], *read))
            return Reject(out, rule, SuggestMiss::kReadsOther), false;
        if (const SuggestMiss second = OnSecondPage(f, rule); second != SuggestMiss::kRuled) {
            out.changedBySecond = true;
            return Reject(out, rule, second), false;
        }
        out.rule = Utf8ToCp932(rule);
        out.anchor = path.anchor;
        out.matches = hits.count;
        return true;
    }

    // A path's hits on the page, evaluated once however many expressions follow it.
    const PathHits& Hits(const std::string& path) {
        auto [it, added] = hits_.try_emplace(path);
        if (added) it->second = Evaluate(index_.Page(), path);
        return it->second;
    }

    SuggestMiss OnSecondPage(int f, const std::string& rule) const {
        if (second_.page == nullptr) return SuggestMiss::kRuled;
        const std::optional<std::string> read = ReadWith(*second_.page, f, rule);
        const FigureKind kind = Kind(f);
        // Another stock's name is not this one's: a rule that reads it again reads a constant.
        if (!read || !OfItsKind(kind, *read) ||
            (kind == FigureKind::kName && FoldName(*read) == FoldName(typed_[f])))
            return SuggestMiss::kWrongOnSecond;
        if (!secondTyped_[f].empty() && !ReadsAsTyped(kind, secondTyped_[f], *read))
            return SuggestMiss::kDiffersOnSecond;
        return SuggestMiss::kRuled;
    }

    PageIndex index_;
    SecondPage second_;
    FigureTexts typed_, secondTyped_;
    Unstable unstable_;
    std::array<std::vector<const xmlNode*>, kFigureCount> places_;
    const xmlNode* price_ = nullptr;
    const xmlNode* block_ = nullptr;
    std::map<std::string, PathHits> hits_;
};

}  // namespace

FigureTexts RuleSuggestion::Rules() const {
    FigureTexts rules;
    for (int f = 0; f < kFigureCount; ++f) rules[f] = figures[f].rule;
    return rules;
}

bool RuleSuggestion::Complete() const {
    return Found() && std::all_of(figures.begin(), figures.end(), [](const FigureRule& r) {
               return !r.rule.empty() || r.miss == SuggestMiss::kNoValue;
           });
}

RuleSuggestion SuggestRules(const ParsedPage& page, const FigureTexts& values,
                            const SecondPage& second) {
    RuleSuggestion s;
    Suggester suggester(page, values, second);
    for (int f = 0; f < kFigureCount; ++f) s.figures[f] = suggester.RuleFor(f);
    return s;
}

std::vector<Mismatch> CheckRules(const PageRules& rules, const ParsedPage& page,
                                 const FigureTexts& values) {
    std::vector<Mismatch> out;
    const RuleReading reading = rules.Read(page);
    for (int f = 0; f < kFigureCount; ++f) {
        if (values[f].empty()) continue;
        const std::string expected = NormalizeFigure(Cp932ToUtf8(values[f]));
        if (reading[f].found && ReadsAsTyped(KindOf(f), expected, Cp932ToUtf8(reading[f].value)))
            continue;
        out.push_back({f, expected, reading[f]});
    }
    return out;
}

}  // namespace tickora
