#include "reading/pattern_suggest.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/codepage.h"
#include "common/sjis.h"
#include "reading/extract.h"

namespace tickora {

namespace {

constexpr std::size_t kMaxPatternBytes = 255;  // the settings read keeps 255 bytes
constexpr std::size_t kMaxPrefixBytes = 160;
constexpr std::size_t kMaxAnchorBytes = 160;
constexpr Offset kMaxAnchorDistance = 8192;  // how far before the name an anchor is looked for
constexpr std::size_t kMaxOccurrences = 4096;
constexpr std::size_t kMaxChains = 64;

// Where each of the six values is taken from, and the page that holds them.
struct Placement {
    std::array<Offset, 6> at{};
    Offset span = 0;
};

class Writer {
  public:
    Writer(std::string_view page, const FigureTexts& values) : page_(page), values_(values) {
        // Character starts, for candidates that the character-aware search can find.
        starts_.assign(page.size() + 1, false);
        for (std::size_t i = 0; i < page.size();) {
            starts_[i] = true;
            i += IsLeadByte(static_cast<unsigned char>(page[i])) && i + 1 < page.size() ? 2 : 1;
        }
        starts_[page.size()] = true;
    }

    // The seven pattern texts for one placement, or nullopt with the reason in why.
    std::optional<PatternTexts> Write(const Placement& p, PatternProblem& why) const {
        PatternTexts texts;
        for (int j = 0; j < 6; ++j) {
            const Offset s = p.at[j];
            const Offset t = End(p, j);
            const std::optional<std::string> suffix = Suffix(j, s, t, why);
            if (!suffix) return std::nullopt;
            const std::string label = Label(j + 1) + "_";
            bool placed = false;
            for (const Offset k : PrefixStarts(p, j, why)) {
                const std::string_view prefix = page_.substr(k, s - k);
                if (label.size() + prefix.size() + 1 + suffix->size() > kMaxPatternBytes) break;
                if (j == 0) {
                    const std::optional<std::string> anchor = Anchor(k, s);
                    if (!anchor) continue;
                    texts[0] = Label(0) + "_" + *anchor;
                } else if (FirstFrom(prefix, End(p, j - 1) + 1, s) != k) {
                    continue;
                }
                texts[j + 1] = label + std::string(prefix) + "_" + *suffix;
                placed = true;
                break;
            }
            if (!placed) {
                if (why.miss == PatternMiss::kFound) why = {PatternMiss::kNotFirst, j};
                return std::nullopt;
            }
        }
        return texts;
    }

  private:
    Offset End(const Placement& p, int j) const {
        return p.at[j] + static_cast<Offset>(values_[j].size());
    }

    static std::string Label(int pattern) {
        const std::string& text = DefaultPatternTexts()[pattern];
        return text.substr(0, text.find('_'));
    }

    // The first occurrence of needle at or after from that ends by limit (character-aware).
    Offset FirstFrom(std::string_view needle, Offset from, Offset limit) const {
        return Find(page_.substr(0, limit), needle, from);
    }

    // From the end of the value to the end of the tag that follows it, so that the suffix is
    // markup; longer, one tag at a time, while it would be found inside the value.
    std::optional<std::string> Suffix(int j, Offset s, Offset t, PatternProblem& why) const {
        const auto size = static_cast<Offset>(page_.size());
        if (t >= size || page_[t] == '\n') {
            why = {PatternMiss::kLineEndFollows, j};
            return std::nullopt;
        }
        const Offset lineEnd = std::min<Offset>(size, static_cast<Offset>(page_.find('\n', t)));
        Offset end = t;
        for (int tags = 0; tags < 4; ++tags) {
            const auto gt = page_.find('>', static_cast<std::size_t>(end));
            if (gt == std::string_view::npos || static_cast<Offset>(gt) >= lineEnd) {
                // No tag follows on the line: the rest of it, without trailing blanks, which
                // the settings read would drop.
                end = lineEnd;
                while (end > t && (page_[end - 1] == ' ' || page_[end - 1] == '\t')) --end;
            } else {
                end = static_cast<Offset>(gt) + 1;
            }
            if (end == t) break;
            const std::string_view suffix = page_.substr(t, end - t);
            if (FirstFrom(suffix, s + 1, end) == t) return std::string(suffix);
            if (end == lineEnd) break;
        }
        why = {PatternMiss::kNoSuffix, j};
        return std::nullopt;
    }

    // Candidate prefix starts, nearest first: those at a tag's '<', then any other character
    // start. A prefix stays on the value's line, after the previous value, and without '_'.
    std::vector<Offset> PrefixStarts(const Placement& p, int j, PatternProblem& why) const {
        const Offset s = p.at[j];
        Offset lo = j == 0 ? 1 : End(p, j - 1) + 1;
        lo = std::max<Offset>(lo, s - static_cast<Offset>(kMaxPrefixBytes));
        Offset underscore = kNone;
        for (Offset k = s - 1; k >= lo; --k) {
            if (page_[k] == '\n') {
                lo = k + 1;
                break;
            }
            if (page_[k] == '_' && underscore == kNone) underscore = k;
        }
        if (underscore != kNone) lo = underscore + 1;
        std::vector<Offset> tags, others;
        for (Offset k = s - 1; k >= lo; --k) {
            if (!starts_[k]) continue;
            (page_[k] == '<' ? tags : others).push_back(k);
        }
        if (tags.empty() && others.empty() && why.miss == PatternMiss::kFound)
            why = {
                underscore == s - 1 ? PatternMiss::kFollowsUnderscore : PatternMiss::kNoDelimiter,
                j};
        tags.insert(tags.end(), others.begin(), others.end());
        return tags;
    }

    // The nearest whole tag before the name's prefix (at k) that stands first in the page
    // where it is, and from which the prefix is found first at k.
    std::optional<std::string> Anchor(Offset k, Offset s) const {
        const std::string_view prefix = page_.substr(k, s - k);
        for (Offset a = k - 1; a >= 0 && a >= k - kMaxAnchorDistance; --a) {
            if (page_[a] != '<' || !starts_[a]) continue;
            const auto gt = page_.find('>', static_cast<std::size_t>(a));
            if (gt == std::string_view::npos) continue;
            const std::string_view tag = page_.substr(a, gt + 1 - a);
            if (tag.size() > kMaxAnchorBytes || tag.find('\n') != std::string_view::npos) continue;
            if (FirstFrom(tag, 0, a + static_cast<Offset>(tag.size())) != a) continue;
            if (FirstFrom(prefix, a + 1, s) == k) return std::string(tag);
        }
        return std::nullopt;
    }

    std::string_view page_;
    const FigureTexts& values_;
    std::vector<bool> starts_;
};

std::vector<Offset> Occurrences(std::string_view text, std::string_view value) {
    std::vector<Offset> at;
    for (Offset i = Find(text, value, 0); i != kNone && at.size() < kMaxOccurrences;
         i = Find(text, value, i + (IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1)))
        at.push_back(i);
    return at;
}

// Every way to take the six values in order, one per occurrence of the volume, each with
// the nearest earlier occurrences of the others; tightest first, as a quote stands together.
std::vector<Placement> Placements(const std::array<std::vector<Offset>, 6>& occ,
                                  const FigureTexts& values) {
    std::vector<Placement> out;
    for (const Offset last : occ[5]) {
        Placement p;
        p.at[5] = last;
        bool ok = true;
        for (int j = 4; j >= 0 && ok; --j) {
            // The value must end at least two bytes before the next one starts: one for the
            // search to step past the suffix, one for the next prefix.
            const Offset latestStart = p.at[j + 1] - 2 - static_cast<Offset>(values[j].size());
            const auto it = std::upper_bound(occ[j].begin(), occ[j].end(), latestStart);
            ok = it != occ[j].begin();
            if (ok) p.at[j] = *std::prev(it);
        }
        if (!ok || p.at[0] < 2) continue;
        p.span = p.at[5] - p.at[0];
        out.push_back(p);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Placement& a, const Placement& b) { return a.span < b.span; });
    if (out.size() > kMaxChains) out.resize(kMaxChains);
    return out;
}

// Why no in-order placement exists: the first value that does not follow the one before.
PatternProblem OrderProblem(const std::array<std::vector<Offset>, 6>& occ,
                            const FigureTexts& values) {
    Offset from = 2;
    for (int j = 0; j < kFigureCount; ++j) {
        const auto it = std::lower_bound(occ[j].begin(), occ[j].end(), from);
        if (it == occ[j].end())
            return {j == 0 ? PatternMiss::kTooNearStart : PatternMiss::kOutOfOrder, j};
        from = *it + static_cast<Offset>(values[j].size()) + 2;
    }
    return {PatternMiss::kOutOfOrder, kFigureCount - 1};
}

// Where each value stands in the read page; the values that stand nowhere, or only in the
// body past it, as problems.
std::vector<PatternProblem> Locate(std::string_view page, std::string_view whole,
                                   const FigureTexts& values,
                                   std::array<std::vector<Offset>, 6>& occ) {
    std::vector<PatternProblem> missing;
    for (int j = 0; j < kFigureCount; ++j) {
        if (values[j].empty()) return {{PatternMiss::kEmptyValue, j}};
        occ[j] = Occurrences(page, values[j]);
        if (!occ[j].empty()) continue;
        const Offset later = Find(whole, values[j], 0);
        const auto end = static_cast<Offset>(page.size());
        if (later != kNone && later >= end)
            missing.push_back({PatternMiss::kPastReadPieces, j, later, end});
        else
            missing.push_back({PatternMiss::kNotInPage, j});
    }
    return missing;
}

}  // namespace

PatternSuggestion SuggestPatterns(std::string_view page, std::string_view whole,
                                  const FigureTexts& values, bool readAsShiftJis) {
    PatternSuggestion s;
    std::array<std::vector<Offset>, 6> occ;
    s.problems = Locate(page, whole, values, occ);
    if (!s.problems.empty()) return s;
    const std::vector<Placement> placements = Placements(occ, values);
    if (placements.empty()) return {{}, {OrderProblem(occ, values)}};
    const Writer writer(page, values);
    PatternProblem first;
    for (const Placement& p : placements) {
        PatternProblem why;
        const auto texts = writer.Write(p, why);
        if (!texts) {
            if (first.miss == PatternMiss::kFound) first = why;
            continue;
        }
        // The program's own extraction is the judge.
        const Extraction x = TraceExtraction(page, MakePatternTable(*texts), readAsShiftJis);
        const FigureTexts got = SplitQuoteResult(x.result);
        if (std::equal(got.begin(), got.end(), values.begin())) {
            s.texts = *texts;
            return s;
        }
        if (first.miss == PatternMiss::kFound)
            first = {readAsShiftJis ? PatternMiss::kNotExact : PatternMiss::kNotExactEucJp};
    }
    s.problems = {first};
    return s;
}

}  // namespace tickora
