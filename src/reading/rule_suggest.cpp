#include "reading/rule_suggest.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "common/codepage.h"
#include "reading/page_tree.h"

namespace tickora {

namespace {

constexpr std::size_t kMaxCandidateText = 600;  // bytes of an element's text looked into
constexpr std::size_t kMaxLabelText = 40;
constexpr std::size_t kMaxContextChars = 16;  // of the text before or after a figure
constexpr std::size_t kMaxCandidates = 48;
constexpr int kAncestorLevels = 3;
constexpr int kMaxOccurrences = 4;

// Words that name a direction: markup holding them changes with the day's move.
const char* const kDirectionWords[] = {
    "up",   "down",   "plus",     "minus",    "positive", "negative", "pos",  "neg",
    "rise", "fall",   "gain",     "loss",     "red",      "green",    "blue", "bull",
    "bear", "higher", "lower",    "increase", "decrease", "flat",     "zero", "unchanged",
    "even", "same",   "neutral",  "raise",    "drop",     "fell",     "rose", "upward",
    "inc",  "dec",    "downward", "nochange", "stay",     "profit",   "ng",   "ok"};

std::string Text(const xmlChar* text) {
    return text ? reinterpret_cast<const char*>(text) : "";
}

std::string Attribute(const xmlNode* n, const char* name) {
    xmlChar* v = xmlGetProp(n, reinterpret_cast<const xmlChar*>(name));
    std::string s = Text(v);
    xmlFree(v);
    return s;
}

std::string Content(const xmlNode* n) {
    xmlChar* c = xmlNodeGetContent(n);
    std::string s = Text(c);
    xmlFree(c);
    return s;
}

// An XPath string literal; empty when the text holds both kinds of quote.
std::string Literal(std::string_view s) {
    if (s.find('\'') == std::string_view::npos) return "'" + std::string(s) + "'";
    if (s.find('"') == std::string_view::npos) return "\"" + std::string(s) + "\"";
    return {};
}

std::string EscapeRegex(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (std::string_view("\\^$.|?*+()[]{}/").find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    return out;
}

bool HasDigitRun(std::string_view s, int run) {
    int n = 0;
    for (const char c : s) {
        n = std::isdigit(static_cast<unsigned char>(c)) ? n + 1 : 0;
        if (n >= run) return true;
    }
    return false;
}

// The words of a name: split at '-', '_' and where lower case meets upper case.
std::vector<std::string> Words(std::string_view name) {
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool upperAfterLower =
            i > 0 && std::isupper(c) && std::islower(static_cast<unsigned char>(name[i - 1]));
        if (c == '-' || c == '_' || c == ' ' || upperAfterLower) {
            if (!words.back().empty()) words.emplace_back();
            if (!upperAfterLower) continue;
        }
        words.back() += static_cast<char>(std::tolower(c));
    }
    if (words.back().empty()) words.pop_back();
    return words;
}

bool NamesDirection(std::string_view name) {
    for (const std::string& word : Words(name))
        for (const char* direction : kDirectionWords)
            if (word == direction) return true;
    return false;
}

// A build hash: 4 to 8 letters and digits that mix digits with letters or both cases.
bool LooksHashed(std::string_view s) {
    if (s.size() < 4 || s.size() > 8) return false;
    bool digit = false, lower = false, upper = false;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (!std::isalnum(c) && c != '-' && c != '_') return false;
        digit |= std::isdigit(c) != 0;
        lower |= std::islower(c) != 0;
        upper |= std::isupper(c) != 0;
    }
    return (digit && (lower || upper)) || (lower && upper);
}

// The part of a class name that stays from build to build ("Board__price__" of
// "Board__price__1V0k"), and whether a hash was cut off.
std::pair<std::string, bool> StablePart(std::string_view token) {
    const std::size_t cut = token.find_last_of("_-");
    if (cut != std::string_view::npos && cut > 0 && LooksHashed(token.substr(cut + 1)))
        return {std::string(token.substr(0, cut + 1)), true};
    return {std::string(token), false};
}

// A group that takes any figure of the value's shape: signs, digit groups and decimals vary.
std::optional<std::string> FigureGroup(std::string_view v) {
    bool digit = false;
    for (const char c : v) {
        if (std::string_view("0123456789,.+-%:/ ").find(c) == std::string_view::npos) return {};
        digit |= std::isdigit(static_cast<unsigned char>(c)) != 0;
    }
    if (!digit) return {};
    std::string group = "(";
    if (v.find_first_of(":/") != std::string_view::npos) {
        for (std::size_t i = 0; i < v.size();) {
            if (std::isdigit(static_cast<unsigned char>(v[i]))) {
                group += "\\d+";
                while (i < v.size() && std::isdigit(static_cast<unsigned char>(v[i]))) ++i;
            } else {
                group += EscapeRegex(v.substr(i++, 1));
            }
        }
        return group + ")";
    }
    std::size_t i = v.front() == '+' || v.front() == '-' ? 1 : 0;
    group += "[-+]?[\\d,]*\\d(?:\\.\\d+)?";
    while (i < v.size() && std::string_view("0123456789,.").find(v[i]) != std::string_view::npos)
        ++i;
    return group + EscapeRegex(v.substr(i)) + ")";
}

std::size_t Characters(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool IsDigitOrMark(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-';
}

class Suggester {
  public:
    Suggester(const ParsedPage& page, const FigureTexts& values)
        : page_(page), doc_(static_cast<xmlDocPtr>(page.Document())) {
        for (int f = 0; f < 6; ++f) values_[f] = NormalizeFigure(Cp932ToUtf8(values[f]));
        if (doc_) Walk();
    }

    // A checked rule for figure f, or why there is none.
    FigureRule Suggest(int f) {
        FigureRule out;
        const std::string& v = values_[f];
        const std::vector<const xmlNode*> candidates = Candidates(v);
        if (candidates.empty()) {
            out.miss = doc_ ? SuggestMiss::kNotInPage : SuggestMiss::kNoHtml;
            return out;
        }
        static constexpr AnchorKind kKindOf[kKinds] = {AnchorKind::kId, AnchorKind::kLabel,
                                                       AnchorKind::kClass, AnchorKind::kScript,
                                                       AnchorKind::kHeading};
        for (const bool exact : {true, false})
            for (int kind = 0; kind < kKinds; ++kind)
                for (const xmlNode* e : candidates)
                    for (const std::string& path : Paths(kind, e, v)) {
                        out.rule = exact ? Exact(f, path) : WithExpression(f, path);
                        if (out.rule.empty()) continue;
                        out.anchor = kKindOf[kind];
                        out.matches = 1;
                        return out;
                    }
        out.miss = SuggestMiss::kNoStableAnchor;
        return out;
    }

  private:
    static constexpr int kKinds = 5;  // id, label, class, script, heading

    void Walk() {
        order_ = DocumentOrder(page_, [](const xmlNode*) { return true; });
        // Text sizes bottom up, so that only small elements are read whole.
        for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
            const xmlNode* n = *it;
            std::size_t size = bytes_[n];
            if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE)
                size = static_cast<std::size_t>(xmlStrlen(n->content));
            if (n != order_.front() && n->parent) bytes_[n->parent] += size;
            bytes_[n] = size;
        }
    }

    const std::string& NormalText(const xmlNode* n) {
        auto [it, added] = texts_.try_emplace(n);
        if (added) it->second = NormalizeFigure(Content(n));
        return it->second;
    }

    bool IsScript(const xmlNode* n) const {
        return xmlStrcasecmp(n->name, reinterpret_cast<const xmlChar*>("script")) == 0;
    }

    bool Holds(const xmlNode* n, const std::string& v) {
        if (n->type != XML_ELEMENT_NODE) return false;
        if (bytes_[n] > kMaxCandidateText && !IsScript(n)) return false;
        return NormalText(n).find(v) != std::string::npos;
    }

    // Elements whose text holds v: the innermost first, in page order, then their ancestors.
    std::vector<const xmlNode*> Candidates(const std::string& v) {
        std::vector<const xmlNode*> holding;
        std::unordered_map<const xmlNode*, bool> outer;
        for (const xmlNode* n : order_)
            if (Holds(n, v)) {
                holding.push_back(n);
                if (n->parent) outer[n->parent] = true;
            }
        std::vector<const xmlNode*> out;
        for (const xmlNode* n : holding)
            if (!outer.count(n) && out.size() < kMaxCandidates) out.push_back(n);
        const std::size_t innermost = out.size();
        for (std::size_t i = 0; i < innermost; ++i) {
            const xmlNode* n = out[i];
            for (int level = 0; level < kAncestorLevels && n->parent; ++level) {
                n = n->parent;
                if (n->type != XML_ELEMENT_NODE || !Holds(n, v)) break;
                if (std::find(out.begin(), out.end(), n) == out.end()) out.push_back(n);
            }
        }
        return out;
    }

    // A name that holds nothing of this stock: no figure, no code-like digit run, no direction.
    bool Stable(std::string_view name) const {
        if (name.empty() || HasDigitRun(name, 3) || NamesDirection(name)) return false;
        return std::none_of(values_.begin(), values_.end(), [&](const std::string& v) {
            return !v.empty() && name.find(v) != std::string_view::npos;
        });
    }

    static const xmlNode* PreviousElement(const xmlNode* n) {
        for (n = n->prev; n != nullptr; n = n->prev)
            if (n->type == XML_ELEMENT_NODE) return n;
        return nullptr;
    }

    std::vector<std::string> Paths(int kind, const xmlNode* e, const std::string& v) {
        const std::string tag = reinterpret_cast<const char*>(e->name);
        std::vector<std::string> paths;
        if (kind == 0) {
            const std::string id = Attribute(e, "id");
            if (Stable(id) && !Literal(id).empty()) paths.push_back("//*[@id=" + Literal(id) + "]");
        } else if (kind == 1) {
            const xmlNode* label = PreviousElement(e);
            const std::string text = label ? FoldBlanks(Content(label)) : "";
            // A label is a word, not a unit of one character nor a figure of another kind.
            if (Characters(text) >= 2 && !FigureGroup(text) && text.size() <= kMaxLabelText &&
                Stable(text) && !Literal(text).empty())
                // The first such label's next element. A path that goes on from every label
                // costs libxml2 quadratic time on a page that repeats the label thousands of
                // times.
                paths.push_back("(//" + std::string(reinterpret_cast<const char*>(label->name)) +
                                "[normalize-space(.)=" + Literal(text) +
                                "][following-sibling::*[1][self::" + tag +
                                "]])[1]/following-sibling::" + tag + "[1]");
        } else if (kind == 2) {
            const std::vector<std::string> tokens = Tokens(FoldBlanks(Attribute(e, "class")), ' ');
            for (const std::string& token : tokens) {
                const auto [stable, hashed] = StablePart(token);
                if (!Stable(stable) || Literal(stable).empty()) continue;
                // A class of its own is matched whole; one among others as a whole word.
                const std::string test = hashed ? "contains(@class," + Literal(stable) + ")"
                                         : tokens.size() == 1
                                             ? "@class=" + Literal(stable)
                                             : "contains(concat(' ',normalize-space(@class),' ')," +
                                                   Literal(" " + stable + " ") + ")";
                paths.push_back("//" + tag + "[" + test + "]");
            }
        } else if (kind == 3 && IsScript(e)) {
            const std::string& text = NormalText(e);
            const std::size_t at = text.find(v);
            const std::string before = Before(text, at);
            if (!before.empty() && Stable(before) && !Literal(before).empty())
                paths.push_back("//script[contains(normalize-space(.)," + Literal(before) + ")]");
        } else if (kind == 4 && (tag == "h1" || tag == "title")) {
            paths.push_back("//" + tag);
        }
        return paths;
    }

    static std::vector<std::string> Tokens(const std::string& text, char separator) {
        std::vector<std::string> words;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find(separator, at), text.size());
            if (end > at) words.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        return words;
    }

    // The path's text on the page, made as a figure is; nullopt when it finds nothing.
    std::optional<std::string> PathText(const std::string& path) {
        if (auto it = pathTexts_.find(path); it != pathTexts_.end()) return it->second;
        std::optional<std::string> text;
        if (xmlXPathContextPtr context = xmlXPathNewContext(doc_)) {
            context->opLimit = kXPathOpLimit;
            xmlXPathObjectPtr result =
                xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path.c_str()), context);
            if (result &&
                !(result->type == XPATH_NODESET && xmlXPathNodeSetIsEmpty(result->nodesetval))) {
                xmlChar* s = xmlXPathCastToString(result);
                text = NormalizeFigure(Text(s));
                xmlFree(s);
            }
            xmlXPathFreeObject(result);
            xmlXPathFreeContext(context);
        }
        pathTexts_[path] = text;
        return text;
    }

    // Whether the rule, run as the program runs it, reads figure f as given.
    std::string Checked(int f, const std::string& rule) {
        FigureTexts texts;
        texts[f] = Utf8ToCp932(rule);
        const PageRules rules(texts);
        const FigureRead read = rules.Read(page_)[f];
        return read.found && read.value == Utf8ToCp932(values_[f]) ? texts[f] : std::string();
    }

    std::string Exact(int f, const std::string& path) {
        const std::optional<std::string> text = PathText(path);
        return text && *text == values_[f] ? Checked(f, path) : std::string();
    }

    // The stable text right before at: no digit, sign or other figure, at most a few
    // characters, starting at a character.
    std::string Before(const std::string& text, std::size_t at) const {
        std::size_t start = at;
        for (std::size_t chars = 0; start > 0 && chars < kMaxContextChars; ++chars) {
            std::size_t prev = start - 1;
            while (prev > 0 && (static_cast<unsigned char>(text[prev]) & 0xC0) == 0x80) --prev;
            // A digit, a sign or a letter beyond ASCII may be another figure or the name.
            if (IsDigitOrMark(text[prev]) || static_cast<unsigned char>(text[prev]) >= 0x80) break;
            start = prev;
        }
        for (const std::string& other : values_) {
            if (other.empty()) continue;
            const std::size_t end = text.rfind(other, at);
            if (end != std::string::npos && end + other.size() <= at && end + other.size() > start)
                start = end + other.size();
        }
        return text.substr(start, at - start);
    }

    std::string After(const std::string& text, std::size_t end) const {
        std::size_t stop = end;
        for (std::size_t chars = 0; stop < text.size() && chars < kMaxContextChars; ++chars) {
            if (IsDigitOrMark(text[stop])) break;
            std::size_t n = Utf8SequenceLength(std::string_view(text).substr(stop, 4));
            stop += n == 0 ? 1 : n;
        }
        return text.substr(end, stop - end);
    }

    std::string WithExpression(int f, const std::string& path) {
        const std::optional<std::string> text = PathText(path);
        const std::string& v = values_[f];
        if (!text || *text == v) return {};
        std::size_t at = text->find(v);
        for (int n = 0; at != std::string::npos && n < kMaxOccurrences;
             ++n, at = text->find(v, at + 1)) {
            const std::string before = Before(*text, at);
            std::string expression = before.empty() && at == 0 ? "^" : EscapeRegex(before);
            if (const std::optional<std::string> group = FigureGroup(v)) {
                expression += *group;
            } else {
                const std::string after = After(*text, at + v.size());
                expression += after.empty() ? "(.+)$" : "(.+?)" + EscapeRegex(after);
            }
            std::string rule = Checked(f, JoinRule(path, expression));
            if (!rule.empty()) return rule;
        }
        return {};
    }

    const ParsedPage& page_;
    xmlDocPtr doc_;
    std::array<std::string, 6> values_;
    std::vector<const xmlNode*> order_;
    std::unordered_map<const xmlNode*, std::size_t> bytes_;
    std::unordered_map<const xmlNode*, std::string> texts_;
    std::map<std::string, std::optional<std::string>> pathTexts_;
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

RuleSuggestion SuggestRules(const ParsedPage& page, const FigureTexts& values, const SecondPage&) {
    RuleSuggestion s;
    Suggester suggester(page, values);
    for (int f = 0; f < kFigureCount; ++f) {
        if (values[f].empty())
            s.figures[f].miss = SuggestMiss::kNoValue;
        else
            s.figures[f] = suggester.Suggest(f);
    }
    return s;
}

std::vector<Mismatch> CheckRules(const PageRules& rules, const ParsedPage& page,
                                 const FigureTexts& values) {
    std::vector<Mismatch> out;
    const RuleReading reading = rules.Read(page);
    for (int f = 0; f < kFigureCount; ++f) {
        if (values[f].empty()) continue;
        const std::string expected = NormalizeFigure(Cp932ToUtf8(values[f]));
        if (reading[f].found && Cp932ToUtf8(reading[f].value) == expected) continue;
        out.push_back({f, expected, reading[f]});
    }
    return out;
}

}  // namespace tickora
