#pragma once
// Why a figure of a page was not read: by the page rules, by the seven patterns, or at all.
// Reports word these reasons; the code that reads a page only names them.

namespace tickora {

enum class Miss {
    kRead,  // not missed: the figure was read
    // Page rules.
    kNoRule,        // the figure has no rule: it stays empty
    kBrokenRule,    // its rule does not compile, and the rules read nothing
    kNoHtml,        // the page holds no HTML
    kPathFailed,    // the path failed on this page (the detail: libxml2's message)
    kNothingFound,  // the path finds no node
    kNoMatch,       // the expression does not match the path's text
    kGaveUp,        // the expression gave up on the text (the detail: PCRE2's message)
    kEmpty,         // the text found is empty
    kNotANumber,  // a figure other than the name without a digit ("---"): wrong is worse than empty
    // The seven patterns.
    kAnchorMissing,  // the anchor's prefix is not in the page
    kPrefixMissing,  // the figure's prefix is not found after the previous field
    kSuffixMissing,  // its suffix is not found after its prefix
    kNotLookedFor,   // an earlier pattern failed
    // Either.
    kFetchFailed,  // the page could not be had
};

}  // namespace tickora
