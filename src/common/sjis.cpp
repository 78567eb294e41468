#include "common/sjis.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

namespace tickora {

Offset Find(std::string_view text, std::string_view needle, Offset from) {
    const auto size = static_cast<Offset>(text.size());
    if (from < 0) from = 0;
    if (from > size) return kNone;
    if (needle.empty()) return from;
    const auto n = static_cast<Offset>(needle.size());
    // Candidates are found at byte speed; a candidate counts only on a character boundary.
    // Walking back from it over lead-range bytes to the last byte that cannot start a
    // character (or to a known boundary) tells by parity whether it is one. Each byte is
    // walked over at most once, and a long text's search table is made once, not again after
    // every candidate that falls on a second byte, so the search stays linear.
    std::optional<std::boyer_moore_horspool_searcher<std::string_view::const_iterator>> table;
    if (size - from >= kLongText && n > 1) table.emplace(needle.begin(), needle.end());
    const auto next = [&](Offset i) -> Offset {
        if (table) {
            const auto hit = (*table)(text.begin() + i, text.end()).first;
            return hit == text.end() ? kNone : hit - text.begin();
        }
        const void* hit = memmem(text.data() + i, static_cast<std::size_t>(size - i), needle.data(),
                                 needle.size());
        return hit == nullptr ? kNone : static_cast<const char*>(hit) - text.data();
    };
    Offset known = from;  // a character boundary at or before every candidate
    for (Offset i = from; i + n <= size;) {
        const Offset h = next(i);
        if (h == kNone) return kNone;
        Offset k = h;
        while (k > known && IsLeadByte(static_cast<unsigned char>(text[k - 1]))) --k;
        if (((h - k) & 1) == 0) return h;
        // h is the second byte of a character: the next character starts right after it.
        known = i = h + 1;
    }
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
