#include "words.h"

#include "common/codepage.h"

namespace tickora::probe {

namespace {

std::string Quoted(const std::string& cp932) {
    return "\"" + Cp932ToUtf8(cp932) + "\"";
}

std::string FigureText(int figure, const FigureTexts& values) {
    return "the " + std::string(FigureName(figure)) + " text " + Quoted(values[figure]);
}

}  // namespace

std::string MissWords(Miss miss, const std::string& detail) {
    const std::string more = detail.empty() ? "" : " (" + detail + ")";
    switch (miss) {
        case Miss::kRead:
            return "read";
        case Miss::kNoRule:
            return "no rule: the figure stays empty";
        case Miss::kBrokenRule:
            return "the rule does not compile, and the rules read nothing" + more;
        case Miss::kNoHtml:
            return "the page holds no HTML";
        case Miss::kPathFailed:
            return "the path failed on this page" + more;
        case Miss::kNothingFound:
            return "the path finds no node";
        case Miss::kNoMatch:
            return "the expression does not match the path's text";
        case Miss::kGaveUp:
            return "the expression gave up on the path's text" + more;
        case Miss::kEmpty:
            return "the text found is empty";
        case Miss::kNotANumber:
            return "the text found holds no number";
        case Miss::kAnchorMissing:
            return "the anchor is not in the read page";
        case Miss::kPrefixMissing:
            return "the prefix is not found after the previous field";
        case Miss::kSuffixMissing:
            return "the suffix is not found after the prefix";
        case Miss::kNotLookedFor:
            return "not looked for: an earlier pattern failed";
        case Miss::kFetchFailed:
            return "the page could not be fetched" + more;
    }
    return {};
}

std::string PatternWords(const PatternProblem& p, const FigureTexts& values) {
    const int f = p.figure;
    switch (p.miss) {
        case PatternMiss::kEmptyValue:
            return "the " + std::string(FigureName(f)) +
                   " text is empty; the program cuts at least one byte for every field";
        case PatternMiss::kNotInPage:
            return FigureText(f, values) + " is not found in the page";
        case PatternMiss::kPastReadPieces:
            return FigureText(f, values) + " is found only past the 202nd piece (at byte " +
                   std::to_string(p.at) + "; the read page ends at byte " +
                   std::to_string(p.readEnd) + ")";
        case PatternMiss::kTooNearStart:
            return "the name text stands too close to the start of the page";
        case PatternMiss::kOutOfOrder:
            return "values out of order: " + FigureText(f, values) + " does not stand after " +
                   FigureText(f - 1, values) +
                   "; the program cuts the fields in the order name, time, price, change, "
                   "ratio, volume";
        case PatternMiss::kLineEndFollows:
            return "a line end follows " + FigureText(f, values) +
                   ", and a pattern cannot hold one";
        case PatternMiss::kNoSuffix:
            return "nothing after " + FigureText(f, values) +
                   " on its line ends it without also standing inside it";
        case PatternMiss::kFollowsUnderscore:
            return FigureText(f, values) + " follows a '_', and a field's prefix cannot hold one";
        case PatternMiss::kNoDelimiter:
            return FigureText(f, values) + " has no delimiter before it on its line";
        case PatternMiss::kNotFirst:
            return "no delimiter before " + FigureText(f, values) +
                   " is found first where it stands" + (f == 0 ? " after an anchor" : "");
        case PatternMiss::kNotExact:
            return "the patterns found do not cut exactly these texts";
        case PatternMiss::kNotExactEucJp:
            return "the page is read as EUC-JP (it declares neither UTF-8 nor Shift_JIS), and the "
                   "patterns found do not cut exactly these texts from it";
        case PatternMiss::kFound:
            break;
    }
    return {};
}

std::string SuggestWords(SuggestMiss miss) {
    switch (miss) {
        case SuggestMiss::kRuled:
            return "";
        case SuggestMiss::kNoValue:
            return "no figure given: left without a rule";
        case SuggestMiss::kNoHtml:
            return "the page holds no HTML";
        case SuggestMiss::kNotInPage:
            return "the figure is not in the page's text";
        case SuggestMiss::kNoStableAnchor:
            return "no id, stable class, label or heading leads to the figure";
        case SuggestMiss::kNotFirst:
            return "the path gives an element before the figure";
        case SuggestMiss::kReadsOther:
            return "the path reads another text";
        case SuggestMiss::kWrongOnSecond:
            return "on the second page it reads no figure of its kind";
        case SuggestMiss::kDiffersOnSecond:
            return "on the second page it does not read the figure given for it";
        case SuggestMiss::kNamesDirection:
            return "it names the direction of the day's move";
        case SuggestMiss::kBuildHash:
            return "it is a build's hash";
        case SuggestMiss::kHoldsFigures:
            return "it holds digits: the stock's code, a date or a figure";
    }
    return {};
}

const char* AnchorWords(AnchorKind kind) {
    switch (kind) {
        case AnchorKind::kId:
            return "id";
        case AnchorKind::kClass:
            return "class";
        case AnchorKind::kLabel:
            return "label";
        case AnchorKind::kHeading:
            return "heading";
        case AnchorKind::kScript:
            return "script";
        case AnchorKind::kNoAnchor:
            break;
    }
    return "none";
}

std::string MismatchWords(const Mismatch& m) {
    const std::string expected = ", expected \"" + m.expected + "\"";
    if (!m.read.ruled && !m.read.found) return "no rule" + expected;
    if (!m.read.found)
        return "nothing found (" + MissWords(m.read.miss, m.read.detail) + ")" + expected;
    return "found \"" + Cp932ToUtf8(m.read.value) + "\"" + expected;
}

}  // namespace tickora::probe
