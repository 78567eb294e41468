#include "quotepage/quote_page.h"

#include <climits>

#include "common/codepage.h"
#include "common/leading_int.h"
#include "reading/figure_match.h"
#include "reading/page_reader.h"

namespace tickora {

namespace {

// The pieces a pass reads, and every byte read alike; the coding as a pass decides it, from
// the pieces it reads.
PageSample Read(PageSample s) {
    PageReader pieces;
    pieces.Feed(s.bytes);
    pieces.Finish();
    s.pieces = pieces.Pieces();
    s.pieceBytes = pieces.BodyBytes();
    s.declared = DeclaredCharset(s.response.contentType, pieces.Page());
    s.coding = CodingOf(s.declared, pieces.Page());
    s.text = PageTextFor(pieces.TakePage(), s.coding);
    PageReader whole(INT_MAX);
    whole.Feed(s.bytes);
    whole.Finish();
    s.whole = PageTextFor(whole.TakePage(), s.coding);
    s.parsed = std::make_shared<const ParsedPage>(PageUtf8(s.bytes, s.response.contentType));
    s.visible = VisibleText(*s.parsed);
    return s;
}

// A sample that was never read parses as no page at all.
const ParsedPage& ParsedOf(const PageSample& sample) {
    static const ParsedPage none("");
    return sample.parsed ? *sample.parsed : none;
}

void TryRules(const PageSample& sample, const FigureTexts& texts, Trial& t) {
    const PageRules rules(texts);
    t.ruleErrors = rules.Errors();
    t.rules = rules.Read(ParsedOf(sample));
    t.result = rules.QuoteResult(t.rules);
    for (int f = 0; f < kFigureCount; ++f) {
        const FigureRead& read = t.rules[f];
        t.misses[f] = read.found ? Miss::kRead : read.ruled ? read.miss : Miss::kNoRule;
    }
    for (const RuleError& error : t.ruleErrors) t.misses[error.figure] = Miss::kBrokenRule;
}

void TryPatterns(const PageSample& sample, const PatternTexts& texts, Trial& t) {
    t.patterns =
        TraceExtraction(sample.text, MakePatternTable(texts), sample.coding != PageCoding::kEucJp);
    t.result = t.patterns.result;
    const int failed = t.patterns.failed;  // the pattern not found, the anchor being 0
    if (failed < 0) return;
    for (int f = 0; f < kFigureCount; ++f) {
        const int pattern = f + 1;
        if (failed == 0)
            t.misses[f] = Miss::kAnchorMissing;
        else if (pattern > failed)
            t.misses[f] = Miss::kNotLookedFor;
        else if (pattern == failed)
            t.misses[f] = t.patterns.searches[pattern].prefixAt == kNone ? Miss::kPrefixMissing
                                                                         : Miss::kSuffixMissing;
    }
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u00A0' || c == u'\u3000';
}

bool IsFigureCharacter(char16_t c) {
    static constexpr std::u16string_view kFigure =
        u"0123456789,.+-%:/０１２３４５６７８９，．＋－％\u2212";
    return kFigure.find(c) != std::u16string_view::npos;
}

}  // namespace

PageSample FetchSample(const std::string& url, const FetchOptions& options) {
    PageSample s;
    s.source = url;
    try {
        RawPage page = FetchRawPage(url, options);
        s.bytes = std::move(page.bytes);
        s.response = std::move(page.response);
    } catch (const HttpError& e) {
        s.failure = FetchFailure{e.code(), e.what()};
        return s;
    }
    return Read(std::move(s));
}

PageSample SampleOf(std::string source, std::string bytes, ResponseInfo response) {
    PageSample s;
    s.source = std::move(source);
    s.bytes = std::move(bytes);
    s.bytes.resize(std::min(s.bytes.size(), kMaxRulePageBytes));
    s.response = std::move(response);
    return Read(std::move(s));
}

Trial TryPage(const PageSample& sample, const PageSettings& settings) {
    Trial t;
    t.byRules = UsesRules(settings.m_arrRules);
    if (sample.failure) {
        t.result = FormatFetchError(sample.failure->code, sample.failure->message);
        t.misses.fill(Miss::kFetchFailed);
    } else if (t.byRules) {
        TryRules(sample, settings.m_arrRules, t);
    } else {
        TryPatterns(sample, settings.m_arrPatternTexts, t);
    }
    t.quote = RowQuote(t.result);
    return t;
}

Suggestion Suggest(const PageSample& sample, const FigureTexts& values, const PageSample* second,
                   const FigureTexts& secondValues) {
    Suggestion s;
    SecondPage other;
    if (second && !second->failure) other = {second->parsed.get(), secondValues};
    s.rules = SuggestRules(ParsedOf(sample), values, other);
    s.patterns =
        SuggestPatterns(sample.text, sample.whole, values, sample.coding != PageCoding::kEucJp);
    return s;
}

Adoption Adopt(const PageSettings& current, const Suggestion& suggestion) {
    Adoption a{current};
    if (suggestion.rules.Complete()) {
        a.settings.m_arrRules = suggestion.rules.Rules();
        a.rules = true;
    }
    if (suggestion.patterns.Found()) {
        a.settings.m_arrPatternTexts = suggestion.patterns.texts;
        a.patterns = true;
        if (!a.rules && UsesRules(current.m_arrRules)) {
            a.settings.m_arrRules = {};
            a.rulesCleared = true;
        }
    }
    return a;
}

Check CheckStock(const PageSample& test, const PageSample& second, const PageSettings& settings,
                 const FigureTexts& typed) {
    Check c;
    c.trial = TryPage(second, settings);
    if (second.failure) {
        c.verdict = Verdict::kFetchFailed;
        return c;
    }
    const FigureTexts read = SplitQuoteResult(c.trial.result);
    const FigureTexts testRead = SplitQuoteResult(TryPage(test, settings).result);
    // A BASE_URL without 銘柄 gives every stock the same page.
    if (second.source == test.source ||
        (!read[kNameFigure].empty() && read[kNameFigure] == testRead[kNameFigure])) {
        c.verdict = Verdict::kSamePage;
        return c;
    }
    if (!c.trial.quote || LeadingInt(read[kPriceFigure]) <= 0) {
        c.verdict = Verdict::kNoPrice;
        return c;
    }
    for (int f = 0; f < kFigureCount; ++f) {
        // Under rules a figure left without a rule stays empty on purpose.
        const bool expected = !c.trial.byRules || !SplitRule(settings.m_arrRules[f]).path.empty();
        if (expected && read[f].empty()) c.unread.push_back(f);
        const std::string want = NormalizeFigure(Cp932ToUtf8(typed[f]));
        if (typed[f].empty() ||
            ReadsAsTyped(KindOf(f), want, NormalizeFigure(Cp932ToUtf8(read[f]))))
            continue;
        FigureRead got = c.trial.rules[f];
        got.found = !read[f].empty();
        got.value = read[f];
        c.mismatches.push_back({f, want, std::move(got)});
    }
    c.verdict = !c.mismatches.empty() ? Verdict::kDiffers
                : !c.unread.empty()   ? Verdict::kPartly
                                      : Verdict::kHolds;
    return c;
}

std::pair<std::size_t, std::size_t> FigureAt(std::u16string_view line, std::size_t at) {
    std::size_t from = std::min(at, line.size()), to = from;
    while (from > 0 && !IsSpace(line[from - 1])) --from;
    while (to < line.size() && !IsSpace(line[to])) ++to;
    // "(+0.98%)" gives the figure inside its brackets.
    if (from < to && (line[from] == u'(' || line[from] == u'（')) ++from;
    if (from < to && IsFigureCharacter(line[from])) {
        std::size_t end = from;
        while (end < to && IsFigureCharacter(line[end])) ++end;
        to = end;
    }
    return {from, to};
}

}  // namespace tickora
