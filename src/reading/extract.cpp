#include "reading/extract.h"

#include "common/codepage.h"
#include "common/sjis.h"

namespace tickora {

namespace {

// The minus rule of pages not marked Shift_JIS: a field holding '-' keeps the text from
// the minus up to the next '<', or becomes "0" when no '<' follows.
void ApplyMinusRule(std::string& field) {
    const Offset h = Find(field, "-", 0);
    if (h == kNone) return;
    const Offset l = Find(field, "<", h + 1);
    field = l == kNone ? std::string("0") : Cut(field, h, l - h);
}

// JIS X 0208 row/cell bytes to Shift_JIS; 0 when either byte lies outside 0x21-0x7E.
unsigned JisToSjis(unsigned char hi, unsigned char lo) {
    if (hi < 0x21 || hi > 0x7E || lo < 0x21 || lo > 0x7E) return 0;
    unsigned s1 = ((hi - 0x21u) >> 1) + 0x81u;
    if (s1 > 0x9F) s1 += 0x40;
    unsigned s2;
    if (hi & 1) {
        s2 = lo + 0x1Fu;
        if (s2 >= 0x7F) ++s2;
    } else {
        s2 = lo + 0x7Eu;
    }
    return (s1 << 8) | s2;
}

}  // namespace

std::string EucJpToShiftJis(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const bool hasNext = i + 1 < s.size();
        if (c == 0x8E && hasNext) {
            out += s[++i];
        } else if (c >= 0xA1 && c <= 0xFE && hasNext) {
            const auto lo = static_cast<unsigned char>(s[++i]);
            const unsigned sj = JisToSjis(static_cast<unsigned char>(c ^ 0x80),
                                          static_cast<unsigned char>(lo ^ 0x80));
            out += static_cast<char>(sj >> 8);
            out += static_cast<char>(sj & 0xFF);
        } else {
            out += s[i];
        }
    }
    return out;
}

Extraction TraceExtraction(std::string_view page, const PatternTable& patterns,
                           bool readAsShiftJis) {
    Extraction x;
    const auto fail = [&x](int pattern) {
        x.failed = pattern;
        x.result.clear();
        return x;
    };
    PatternSearch& anchor = x.searches[0];
    anchor.from = 0;
    anchor.prefixAt = Find(page, patterns[0].prefix, 0);
    if (anchor.prefixAt == kNone) return fail(0);

    Offset pos = anchor.prefixAt;
    for (int j = 1; j <= 6; ++j) {
        const ExtractionPattern& p = patterns[j];
        PatternSearch& s = x.searches[j];
        s.from = pos + 1;
        const Offset v = s.prefixAt = Find(page, p.prefix, s.from);
        if (v == kNone) return fail(j);
        const auto start = v + static_cast<Offset>(p.prefix.size());
        std::string t;
        if (j == 1 && !readAsShiftJis) {
            // Search for the suffix without its first byte, so the cut ends with that
            // byte; the EUC-JP conversion then cannot pair the name's last byte with
            // anything beyond it, and the byte is dropped afterwards.
            s.suffixAt =
                Find(page, std::string_view(p.suffix).substr(p.suffix.empty() ? 0 : 1), start + 1);
            if (s.suffixAt == kNone) return fail(j);
            t = EucJpToShiftJis(Cut(page, start, s.suffixAt - start));
            if (!t.empty()) t.pop_back();
        } else {
            s.suffixAt = Find(page, p.suffix, start + 1);
            if (s.suffixAt == kNone) return fail(j);
            t = Cut(page, start, s.suffixAt - start);
        }
        if (!readAsShiftJis) ApplyMinusRule(t);
        x.result += t;
        x.result += '_';
        pos = s.suffixAt;
    }
    return x;
}

std::string ExtractFields(std::string_view page, const PatternTable& patterns,
                          bool readAsShiftJis) {
    return TraceExtraction(page, patterns, readAsShiftJis).result;
}

std::string ExtractFields(std::string_view page, const PatternTable& patterns) {
    return ExtractFields(page, patterns, Contains(page, "Shift_JIS"));
}

}  // namespace tickora
