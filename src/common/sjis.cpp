#include "common/sjis.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tickora {

namespace {

// Tells for byte-exact candidates, in rising order, whether each starts a character: walking
// back from it over lead-range bytes to the last byte that cannot start a character, or to a
// boundary known already, decides by parity. Each byte is walked over at most once.
class Boundaries {
  public:
    Boundaries(const unsigned char* text, Offset known) : text_(text), known_(known) {}

    bool Starts(Offset at) {
        Offset k = at;
        while (k > known_ && IsLeadByte(text_[k - 1])) --k;
        const bool starts = ((at - k) & 1) == 0;
        // Either way a boundary is known: here, or right after this second byte.
        known_ = starts ? at : at + 1;
        return starts;
    }

  private:
    const unsigned char* text_;
    Offset known_;  // a character boundary at or before every candidate still to come
};

}  // namespace

Offset Find(std::string_view text, std::string_view needle, Offset from) {
    const auto size = static_cast<Offset>(text.size());
    if (from < 0) from = 0;
    if (from > size) return kNone;
    if (needle.empty()) return from;
    const auto n = static_cast<Offset>(needle.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const auto* nd = reinterpret_cast<const unsigned char*>(needle.data());
    const Offset last = size - n;  // the last place a match can start
    Boundaries boundaries(s, from);
    // A candidate is a place where the needle's first and last bytes stand. The check costs
    // a few loads, and the scan never restarts after a candidate that falls on a second
    // byte, however many a page holds.
    const auto matchesAt = [&](Offset h) {
        return boundaries.Starts(h) && std::memcmp(s + h + 1, nd + 1, n - 1) == 0;
    };
    Offset i = from;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(static_cast<char>(nd[0]));
    const __m128i closing = _mm_set1_epi8(static_cast<char>(nd[n - 1]));
    for (; i + 15 <= last; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i z = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + n - 1));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(z, closing))));
        for (; mask != 0; mask &= mask - 1) {
            const Offset h = i + __builtin_ctz(mask);
            if (matchesAt(h)) return h;
        }
    }
#endif
    for (; i <= last; ++i)
        if (s[i] == nd[0] && s[i + n - 1] == nd[n - 1] && matchesAt(i)) return i;
    return kNone;
}

std::string Cut(std::string_view text, Offset first, Offset count) {
    const auto size = static_cast<Offset>(text.size());
    first = std::clamp<Offset>(first, 0, size);
    count = std::clamp<Offset>(count, 0, size - first);
    return std::string(
        text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

std::string Cut(std::string_view text, Offset first) {
    return Cut(text, first, static_cast<Offset>(text.size()));
}

std::string CutToBytes(std::string_view text, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t step = IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > maxBytes) break;
        i += step;
    }
    return std::string(text.substr(0, std::min(i, text.size())));
}

namespace {
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            if (text[i] != prefix[i]) return false;
            if (++i < prefix.size() && text[i] != prefix[i]) return false;
            continue;
        }
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    }
    return true;
}

bool IsCp932Text(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
        if (!IsLeadByte(c) || i + 1 == text.size()) return false;
        const auto t = static_cast<unsigned char>(text[++i]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    }
    return true;
}

std::string_view UpToNul(std::string_view text) {
    const auto nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    Offset pos = 0;
    for (;;) {
        const Offset hit = Find(text, from, pos);
        if (hit == kNone) break;
        out.append(text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(hit - pos)));
        out.append(to);
        pos = hit + static_cast<Offset>(from.size());
    }
    out.append(text.substr(static_cast<std::size_t>(pos)));
    return out;
}

}  // namespace tickora
