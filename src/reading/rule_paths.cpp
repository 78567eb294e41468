#include "reading/rule_paths.h"

#include <algorithm>
#include <cctype>

#include "common/codepage.h"
#include "reading/page_tree.h"

namespace tickora {

namespace {

constexpr std::size_t kMaxLabelBytes = 48;
constexpr int kAncestorLevels = 3;
constexpr int kMaxFixedChildren = 12;  // more, and a position is one in a list
constexpr std::size_t kMaxNeighbourChars = 12;

// Words that name a direction: markup holding them changes with the day's move.
constexpr const char* kDirectionWords[] = {
    "up",   "down",   "plus",     "minus",    "positive", "negative", "pos",  "neg",
    "rise", "fall",   "gain",     "loss",     "red",      "green",    "blue", "bull",
    "bear", "higher", "lower",    "increase", "decrease", "flat",     "zero", "unchanged",
    "even", "same",   "neutral",  "raise",    "drop",     "fell",     "rose", "upward",
    "inc",  "dec",    "downward", "nochange", "stay",     "profit",   "ng",   "ok"};

// The words of a name: split at '-', '_', blanks and where lower case meets upper case.
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
        if (!std::isalnum(c)) return false;
        digit |= std::isdigit(c) != 0;
        lower |= std::islower(c) != 0;
        upper |= std::isupper(c) != 0;
    }
    return (digit && (lower || upper)) || (lower && upper);
}

bool HoldsDigit(std::string_view s) {
    return s.find_first_of("0123456789") != std::string_view::npos;
}

// The part of a class token that stays from build to build ("Board__price__" of
// "Board__price__1V0k"), and whether a hash was cut off.
std::pair<std::string, bool> StablePart(std::string_view token) {
    const std::size_t cut = token.find_last_of("_-");
    if (cut != std::string_view::npos && cut > 0 && LooksHashed(token.substr(cut + 1)))
        return {std::string(token.substr(0, cut + 1)), true};
    return {std::string(token), false};
}

std::vector<std::string> ClassTokens(const xmlNode* e) {
    std::vector<std::string> tokens;
    const std::string text = FoldBlanks(AttributeOf(e, "class"));
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at) tokens.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return tokens;
}

// The predicate that picks e's class token out: a class of its own whole, one among others
// as a whole word, a hashed one by its stable start.
std::string ClassTest(const std::string& token, std::size_t tokens, bool hashed) {
    if (hashed) return "contains(@class," + Literal(token) + ")";
    if (tokens == 1) return "@class=" + Literal(token);
    return "contains(concat(' ',normalize-space(@class),' ')," + Literal(" " + token + " ") + ")";
}

// Steps from a down to e, each with its place among its kind ("/tr[2]/td[5]"); empty when
// a place stands in a list rather than a fixed structure, or the way is long.
std::string ChildSteps(const xmlNode* a, const xmlNode* e, int maxSteps) {
    std::string steps;
    for (int n = 0; e != a; e = e->parent, ++n) {
        if (n == maxSteps || e->parent == nullptr) return {};
        const std::vector<const xmlNode*> siblings = ChildElements(e->parent);
        if (static_cast<int>(siblings.size()) > kMaxFixedChildren) return {};
        int place = 0;
        for (const xmlNode* s : siblings) {
            if (TagOf(s) == TagOf(e)) ++place;
            if (s == e) break;
        }
        steps = "/" + TagOf(e) + "[" + std::to_string(place) + "]" + steps;
    }
    return steps;
}

constexpr int kScopeLevels = 8;

// A stable id or class of a's, as a path that picks a out; empty when it has neither.
std::string StableAnchor(const xmlNode* a, const Unstable& unstable) {
    const std::string id = AttributeOf(a, "id");
    if (!id.empty() && NameStability(id, unstable) == SuggestMiss::kRuled && !Literal(id).empty())
        return "//*[@id=" + Literal(id) + "]";
    const std::vector<std::string> tokens = ClassTokens(a);
    for (const std::string& token : tokens) {
        const auto [stable, hashed] = StablePart(token);
        if (NameStability(stable, unstable) == SuggestMiss::kRuled && !Literal(stable).empty())
            return "//" + TagOf(a) + "[" + ClassTest(stable, tokens.size(), hashed) + "]";
    }
    return {};
}

// The nearest stable anchor above n, to look for n's kind only inside it.
std::string ScopeOf(const xmlNode* n, const Unstable& unstable) {
    const xmlNode* a = n->parent;
    for (int level = 0; level < kScopeLevels && a && a->type == XML_ELEMENT_NODE;
         ++level, a = a->parent)
        if (std::string anchor = StableAnchor(a, unstable); !anchor.empty()) return anchor;
    return {};
}

// Anchors on e or an ancestor: its id, or a class, each followed by the way down to e.
void IdAndClassPaths(const xmlNode* e, const Unstable& unstable, std::vector<PathCandidate>& out,
                     std::vector<Rejection>& rejected) {
    const xmlNode* a = e;
    for (int level = 0; level <= kAncestorLevels && a && a->type == XML_ELEMENT_NODE;
         ++level, a = a->parent) {
        const std::string down = ChildSteps(a, e, 2);
        if (a != e && down.empty()) break;
        const std::string id = AttributeOf(a, "id");
        const SuggestMiss idMiss = id.empty() ? SuggestMiss::kRuled : NameStability(id, unstable);
        if (!id.empty() && idMiss == SuggestMiss::kRuled && !Literal(id).empty())
            out.push_back({"//*[@id=" + Literal(id) + "]" + down, AnchorKind::kId, level});
        else if (!id.empty())
            rejected.push_back({"@id='" + id + "'", idMiss});
        const std::vector<std::string> tokens = ClassTokens(a);
        for (const std::string& token : tokens) {
            const auto [stable, hashed] = StablePart(token);
            const SuggestMiss miss = NameStability(stable, unstable);
            if (miss != SuggestMiss::kRuled || Literal(stable).empty()) {
                rejected.push_back({"@class '" + token + "'", miss});
                continue;
            }
            const std::string test =
                "//" + TagOf(a) + "[" + ClassTest(stable, tokens.size(), hashed) + "]";
            out.push_back({test + down, AnchorKind::kClass, 10 + level});
            // One of a group: the first of its kind inside the nearest stable thing above.
            if (const std::string scope = ScopeOf(a, unstable); !scope.empty())
                out.push_back({scope + test + down, AnchorKind::kClass, 15 + level});
        }
    }
}

// A label is a short text without digits right before e's cell or row: a th, dt, caption or
// any element that holds text alone.
void LabelPaths(PageIndex& index, const xmlNode* e, const Unstable& unstable,
                std::vector<PathCandidate>& out, std::vector<Rejection>& rejected) {
    const xmlNode* x = e;
    for (int level = 0; level <= kAncestorLevels && x && x->parent; ++level, x = x->parent) {
        const std::string down = ChildSteps(x, e, 3);
        if (x != e && down.empty()) break;
        int place = 0;  // x's place among the siblings of its kind after the label
        for (const xmlNode* l = x->prev; l != nullptr; l = l->prev) {
            if (l->type != XML_ELEMENT_NODE) continue;
            if (TagOf(l) == TagOf(x)) {
                ++place;
                continue;
            }
            const std::string text = FoldBlanks(index.Text(l));
            if (text.empty()) continue;
            if (HoldsDigit(text) || text.size() > kMaxLabelBytes) {
                rejected.push_back({"label '" + text + "'", SuggestMiss::kHoldsFigures});
                break;
            }
            if (NameStability(text, unstable) != SuggestMiss::kRuled || Literal(text).empty())
                break;
            // The first such label with a cell of x's kind right after it: a path that went on
            // from every label would cost libxml2 quadratic time on a page of many.
            const std::string label = "//" + TagOf(l) + "[normalize-space(.)=" + Literal(text) +
                                      "][following-sibling::*[1][self::" + TagOf(x) + "]]";
            const std::string tail = ")[1]/following-sibling::" + TagOf(x) + "[" +
                                     std::to_string(place + 1) + "]" + down;
            out.push_back({"(" + label + tail, AnchorKind::kLabel, 20 + level});
            if (const std::string scope = ScopeOf(l, unstable); !scope.empty())
                out.push_back({"(" + scope + label + tail, AnchorKind::kLabel, 25 + level});
            break;
        }
    }
}

}  // namespace

std::string LabelBefore(PageIndex& index, const xmlNode* e) {
    const xmlNode* x = e;
    for (int level = 0; level <= kAncestorLevels && x; ++level, x = x->parent)
        for (const xmlNode* l = x->prev; l != nullptr; l = l->prev)
            if (l->type == XML_ELEMENT_NODE && !index.Text(l).empty()) return index.Text(l);
    return {};
}

std::string Literal(std::string_view s) {
    if (s.find('\'') == std::string_view::npos) return "'" + std::string(s) + "'";
    if (s.find('"') == std::string_view::npos) return "\"" + std::string(s) + "\"";
    return {};
}

SuggestMiss NameStability(std::string_view name, const Unstable& unstable) {
    if (name.empty()) return SuggestMiss::kNoStableAnchor;
    if (NamesDirection(name)) return SuggestMiss::kNamesDirection;
    const std::size_t cut = name.find_last_of("_-:");
    if (LooksHashed(name) || (cut != std::string_view::npos && LooksHashed(name.substr(cut + 1))))
        return SuggestMiss::kBuildHash;
    int run = 0;
    for (const char c : name) {
        run = std::isdigit(static_cast<unsigned char>(c)) ? run + 1 : 0;
        if (run >= 3) return SuggestMiss::kHoldsFigures;
    }
    for (const std::string& figure : unstable.figures)
        if (!figure.empty() && name.find(figure) != std::string_view::npos)
            return SuggestMiss::kHoldsFigures;
    return SuggestMiss::kRuled;
}

std::vector<PathCandidate> PathsTo(PageIndex& index, const xmlNode* e, const Unstable& unstable,
                                   std::vector<Rejection>& rejected) {
    std::vector<PathCandidate> out;
    const std::string tag = TagOf(e);
    if (tag == "script") {
        out.push_back({"//script", AnchorKind::kScript, 40});
        return out;
    }
    IdAndClassPaths(e, unstable, out, rejected);
    LabelPaths(index, e, unstable, out, rejected);
    if (tag == "h1" || tag == "title") out.push_back({"//" + tag, AnchorKind::kHeading, 30});
    for (PathCandidate& c : out) c.rank = c.rank * 1000 + static_cast<int>(c.path.size());
    std::stable_sort(out.begin(), out.end(), [](const PathCandidate& a, const PathCandidate& b) {
        return a.rank < b.rank;
    });
    return out;
}

namespace {

std::string EscapeRegex(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (std::string_view("\\^$.|?*+()[]{}/").find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    return out;
}

// The figure's shape: any figure of its kind, with the unit it is shown with.
std::string Shape(FigureKind kind, std::string_view figure) {
    if (kind == FigureKind::kTime) return "(\\d{1,4}[:/-]\\d{1,2}(?:[:/-]\\d{1,2})?)";
    if (kind == FigureKind::kName) return "(.+?)";
    std::size_t unit = figure.size();
    while (unit > 0 && !std::isdigit(static_cast<unsigned char>(figure[unit - 1]))) --unit;
    return "([-+]?\\d[\\d,]*(?:\\.\\d+)?" + EscapeRegex(figure.substr(unit)) + ")";
}

// The stable text right before the figure: no digit or sign, a few characters at most.
std::string WordBefore(std::string_view before) {
    std::size_t start = before.size(), chars = 0;
    while (start > 0 && chars < kMaxNeighbourChars) {
        const std::size_t prev = Utf8CharacterStart(before, start - 1);
        const char c = before[prev];
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '%') break;
        start = prev;
        ++chars;
    }
    return std::string(before.substr(start));
}

}  // namespace

std::vector<std::string> ExpressionsFor(FigureKind kind, std::string_view text, Span span) {
    if (span.at == 0 && span.size == text.size()) return {""};
    const std::string_view figure = text.substr(span.at, span.size);
    const std::string_view before = text.substr(0, span.at), after = text.substr(span.End());
    const std::string shape = Shape(kind, figure);
    std::vector<std::string> out;
    if (kind == FigureKind::kName) {
        // A name cut off at the first fixed character after it, or running to the end.
        const std::size_t mark = after.find_first_not_of(' ');
        if (before.empty() && mark != std::string_view::npos)
            out.push_back("^(.+?)\\s*" + EscapeRegex(after.substr(
                                             mark, Utf8SequenceLength(after.substr(mark, 4)))));
        if (after.empty()) out.push_back(EscapeRegex(WordBefore(before)) + "\\s*(.+)$");
        return out;
    }
    if (FigureSpans(kind, text).size() == 1) out.push_back(shape);
    if (before.ends_with("(") && after.starts_with(")")) out.push_back("\\(" + shape + "\\)");
    if (before.empty()) out.push_back("^" + shape);
    if (after.empty()) out.push_back(shape + "$");
    if (const std::string word = WordBefore(before); !word.empty() && word != " ")
        out.push_back(EscapeRegex(word) + shape);
    return out;
}

}  // namespace tickora
