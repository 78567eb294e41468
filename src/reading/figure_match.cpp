#include "reading/figure_match.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "common/codepage.h"
#include "common/figures.h"

namespace tickora {

namespace {

constexpr std::array<std::string_view, 4> kUnits = {"%", "円", "株", "倍"};
constexpr std::size_t kMaxNameBytes = 300;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t DigitsFrom(std::string_view text, std::size_t i) {
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i;
}

// A time or date starting at i, its end; i when none starts there.
std::size_t TimeEnd(std::string_view text, std::size_t i) {
    const std::size_t first = DigitsFrom(text, i);
    if (first == i || first - i > 4) return i;
    std::size_t end = first;
    int groups = 0;
    for (; groups < 2 && end + 1 < text.size(); ++groups) {
        const char sep = text[end];
        // Joined by '-', only a year, month and day: "-11" after a price is a change.
        if (sep != ':' && sep != '/' && !(sep == '-' && first - i == 4)) break;
        const std::size_t next = DigitsFrom(text, end + 1);
        if (next == end + 1 || next - end - 1 > 2) break;
        end = next;
    }
    return groups == 0 || (end < text.size() && IsDigit(text[end])) ? i : end;
}

// A number starting at i (its digits; a sign before them is looked at by the caller), its end.
std::size_t NumberEnd(std::string_view text, std::size_t i) {
    std::size_t j = i;
    while (j < text.size() &&
           (IsDigit(text[j]) || (text[j] == ',' && j + 1 < text.size() && IsDigit(text[j + 1]))))
        ++j;
    if (j + 1 < text.size() && text[j] == '.' && IsDigit(text[j + 1])) j = DigitsFrom(text, j + 1);
    for (const std::string_view unit : kUnits)
        if (text.substr(j).starts_with(unit)) return j + unit.size();
    return j;
}

bool IsSign(char c) {
    return c == '+' || c == '-';
}

std::vector<Span> TimeSpans(std::string_view text) {
    std::vector<Span> spans;
    for (std::size_t i = 0; i < text.size();) {
        const bool starts = IsDigit(text[i]) && (i == 0 || !IsDigit(text[i - 1]));
        const std::size_t end = starts ? TimeEnd(text, i) : i;
        if (end > i) spans.push_back({i, end - i});
        i = end > i ? end : i + 1;
    }
    return spans;
}

std::vector<Span> NumberSpans(std::string_view text) {
    const std::vector<Span> times = TimeSpans(text);
    std::vector<Span> spans;
    std::size_t t = 0;
    for (std::size_t i = 0; i < text.size();) {
        while (t < times.size() && times[t].End() <= i) ++t;
        if (t < times.size() && times[t].at <= i) {
            i = times[t].End();
            continue;
        }
        if (!IsDigit(text[i]) || (i > 0 && (IsDigit(text[i - 1]) || text[i - 1] == '.'))) {
            ++i;
            continue;
        }
        // A sign belongs to the number when nothing of a word or number stands before it.
        const bool signed_ = i > 0 && IsSign(text[i - 1]) &&
                             (i == 1 || !(IsDigit(text[i - 2]) ||
                                          std::isalpha(static_cast<unsigned char>(text[i - 2]))));
        const std::size_t end = NumberEnd(text, i);
        const std::size_t at = signed_ ? i - 1 : i;
        spans.push_back({at, end - at});
        i = end;
    }
    return spans;
}

bool IsNameBreak(std::string_view rest, std::size_t& size) {
    for (const std::string_view mark : {" ", "(", ")", "（", "）", "[", "]", "【", "】", "|"})
        if (rest.starts_with(mark)) return (size = mark.size()), true;
    return false;
}

std::vector<Span> NameSpans(std::string_view text) {
    std::vector<Span> spans;
    if (text.empty() || text.size() > kMaxNameBytes) return spans;
    spans.push_back({0, text.size()});
    std::size_t from = 0;
    for (std::size_t i = 0; i <= text.size();) {
        std::size_t mark = 0;
        if (i < text.size() && !IsNameBreak(text.substr(i), mark)) {
            ++i;
            continue;
        }
        if (i > from && !(from == 0 && i == text.size())) spans.push_back({from, i - from});
        i += std::max<std::size_t>(mark, 1);
        from = i;
    }
    return spans;
}

// A number's parts, for comparing: its sign, its whole digits without separators or leading
// zeros, its decimals.
struct NumberParts {
    char sign = 0;
    std::string whole, decimals;
};

NumberParts PartsOf(std::string_view number) {
    NumberParts p;
    if (!number.empty() && IsSign(number.front())) {
        p.sign = number.front();
        number.remove_prefix(1);
    }
    std::size_t i = 0;
    for (; i < number.size() && (IsDigit(number[i]) || number[i] == ','); ++i)
        if (number[i] != ',' && !(p.whole.empty() && number[i] == '0')) p.whole += number[i];
    if (i < number.size() && number[i] == '.')
        p.decimals = number.substr(i + 1, DigitsFrom(number, i + 1) - i - 1);
    return p;
}

// The one figure of the kind in a typed text, or the whole text when it holds none or more.
std::string_view TypedFigure(FigureKind kind, std::string_view typed) {
    if (kind == FigureKind::kName) return typed;
    const std::vector<Span> spans = FigureSpans(kind, typed);
    return spans.size() == 1 ? typed.substr(spans[0].at, spans[0].size) : typed;
}

}  // namespace

FigureKind KindOf(int figure) {
    if (figure == kNameFigure) return FigureKind::kName;
    return figure == kTimeFigure ? FigureKind::kTime : FigureKind::kNumber;
}

std::vector<Span> FigureSpans(FigureKind kind, std::string_view text) {
    switch (kind) {
        case FigureKind::kName:
            return NameSpans(text);
        case FigureKind::kTime:
            return TimeSpans(text);
        case FigureKind::kNumber:
            break;
    }
    return NumberSpans(text);
}

FigureMatcher::FigureMatcher(FigureKind kind, std::string_view typed)
    : kind_(kind), figure_(TypedFigure(kind, typed)) {
    number_ = kind == FigureKind::kNumber && FigureSpans(kind, figure_).size() == 1;
    if (number_) {
        const NumberParts parts = PartsOf(figure_);
        sign_ = parts.sign, whole_ = parts.whole, decimals_ = parts.decimals;
    } else if (kind != FigureKind::kTime) {
        folded_ = FoldName(figure_);
    }
}

bool FigureMatcher::Matches(std::string_view shown) const {
    if (kind_ == FigureKind::kTime) return figure_ == shown;
    if (!number_) return folded_ == FoldName(shown);
    const NumberParts b = PartsOf(shown);
    // A rise may be typed without its '+'; a fall never without its '-'.
    return whole_ == b.whole && decimals_ == b.decimals && (sign_ == '-') == (b.sign == '-');
}

std::vector<Span> FigureMatcher::In(std::string_view text) const {
    // A name stands only where the whole text, folded, holds it.
    if (kind_ == FigureKind::kName && FoldName(text).find(folded_) == std::string::npos) return {};
    return In(text, FigureSpans(kind_, text));
}

std::vector<Span> FigureMatcher::In(std::string_view text, const std::vector<Span>& spans) const {
    std::vector<Span> found;
    for (const Span& s : spans)
        if (Matches(text.substr(s.at, s.size))) found.push_back(s);
    return found;
}

bool SameFigure(FigureKind kind, std::string_view typed, std::string_view shown) {
    return FigureMatcher(kind, typed).Matches(shown);
}

std::vector<Span> Occurrences(FigureKind kind, std::string_view typed, std::string_view text) {
    return FigureMatcher(kind, typed).In(text);
}

bool OfItsKind(FigureKind kind, std::string_view text) {
    if (kind == FigureKind::kName)
        return !text.empty() && text.size() <= kMaxNameBytes &&
               !OfItsKind(FigureKind::kNumber, text) && !OfItsKind(FigureKind::kTime, text);
    const std::vector<Span> spans = FigureSpans(kind, text);
    return spans.size() == 1 && spans[0].at == 0 && spans[0].size == text.size();
}

bool ReadsAsTyped(FigureKind kind, std::string_view typed, std::string_view text) {
    return OfItsKind(kind, text) && SameFigure(kind, typed, text);
}

std::string FoldName(std::string_view in) {
    // Half-width katakana U+FF66..U+FF9D as full-width, and the two sound marks.
    static constexpr std::u32string_view kKana =
        U"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミム"
        U"メモヤユヨラリルレロワン";
    std::u32string out;
    for (std::size_t i = 0; i < in.size();) {
        std::size_t n = 0;
        char32_t c = Utf8CodePoint(in.substr(i), n);
        i += n;
        if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
        if (c == 0x3000 || c == '\t' || c == '\n') c = ' ';
        if (c >= 0xFF66 && c <= 0xFF9D) c = kKana[c - 0xFF66];
        // ｶﾞ is ガ, ﾊﾟ is パ: the sound marks join the kana before them.
        static constexpr std::u32string_view kVoiced = U"カキクケコサシスセソタチツテトハヒフヘホ";
        static constexpr std::u32string_view kSemiVoiced = U"ハヒフヘホ";
        const std::u32string_view marks = c == 0xFF9E ? kVoiced : c == 0xFF9F ? kSemiVoiced : U"";
        if (!marks.empty() && !out.empty() && marks.find(out.back()) != std::u32string_view::npos) {
            out.back() += c == 0xFF9E ? 1 : 2;
            continue;
        }
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    std::string utf8;
    for (const char32_t c : out) utf8 += Utf8Of(c);
    return utf8;
}

}  // namespace tickora
