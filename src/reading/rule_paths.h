#pragma once
// The paths a scraper author would write to one element of a page: anchored on the nearest
// stable thing above or beside it (an id, a class that picks out one element, a label without
// digits, the heading), then a short relative path; and the expression that cuts a figure out
// of an element that holds more. Not for use outside reading/.

#include <string>
#include <vector>

#include "reading/figure_match.h"
#include "reading/page_index.h"
#include "reading/rule_suggest.h"

namespace tickora {

struct PathCandidate {
    std::string path;  // UTF-8
    AnchorKind anchor = AnchorKind::kNoAnchor;
    int rank = 0;  // lower is preferred: the anchor's kind first, then the path's length
};

// What names and texts must not hold to be stable: the figures of the stock (UTF-8).
struct Unstable {
    std::vector<std::string> figures;
};

// Paths to e, best first; the anchors turned down are added to rejected.
std::vector<PathCandidate> PathsTo(PageIndex& index, const xmlNode* e, const Unstable& unstable,
                                   std::vector<Rejection>& rejected);

// Expressions that cut the figure at span out of text, for a rule whose path gives the whole
// text: none needed when the figure is all of it (then one empty expression).
std::vector<std::string> ExpressionsFor(FigureKind kind, std::string_view text, Span span);

// The text of the nearest element right before e or one of its near ancestors: what labels it.
std::string LabelBefore(PageIndex& index, const xmlNode* e);

// An XPath string literal; empty when the text holds both kinds of quote.
std::string Literal(std::string_view s);

// Whether a class or id stays the same from stock to stock, from day to day and from build to
// build; why not, when it does not.
SuggestMiss NameStability(std::string_view name, const Unstable& unstable);

}  // namespace tickora
