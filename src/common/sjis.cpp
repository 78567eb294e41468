#include "common/sjis.h"

#include <algorithm>
#include <cstring>

namespace tickora {

Offset Find(std::string_view text, std::string_view needle, Offset from) {
    const auto size = static_cast<Offset>(text.size());
    if (from < 0) from = 0;
    if (from > size) return kNone;
    if (needle.empty()) return from;
    const auto n = static_cast<Offset>(needle.size());
    const char first = needle.front();
    for (Offset i = from; i + n <= size;) {
        // memchr skips quickly to the next candidate, but a candidate is only accepted on a
        // character boundary, so walk the bytes in between by character.
        const void* hit = std::memchr(text.data() + i, first, static_cast<std::size_t>(size - i));
        if (hit == nullptr) return kNone;
        const Offset h = static_cast<const char*>(hit) - text.data();
        while (i < h) i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i == h) {
            if (h + n > size) return kNone;
            if (std::memcmp(text.data() + h, needle.data(), needle.size()) == 0) return h;
            i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        }
        // i > h: the hit was a second byte; continue from the character boundary i.
    }
    return kNone;
}

std::string Cut(std::string_view text, Offset first, Offset count) {
    const auto size = static_cast<Offset>(text.size());
    first = std::clamp<Offset>(first, 0, size);
    count = std::clamp<Offset>(count, 0, size - first);
    return std::string(text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
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
