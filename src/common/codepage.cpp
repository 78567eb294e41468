#include "common/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace tickora {

namespace {

// Length of the UTF-8 sequence that starts with c; 1 for a byte that cannot start one.
std::size_t Utf8Length(unsigned char c) {
    if (c >= 0xF0 && c <= 0xF4) return 4;
    if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
    if (c >= 0xC2) return 2;
    return 1;
}

// Converts with iconv; at each byte sequence it cannot convert it appends `replacement`
// and skips skipLength(first byte) bytes. One descriptor per call: conversions happen
// only at display and input, and a descriptor must not be shared between threads.
template <typename SkipLength>
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, SkipLength skipLength) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    std::string out;
    out.reserve(in.size() * 3 / 2 + 4);
    char buffer[4096];
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // EILSEQ, or EINVAL for a sequence cut off by the end of the input.
        out.append(replacement);
        std::size_t skip = skipLength(static_cast<unsigned char>(*src));
        if (skip > left) skip = left;
        src += skip;
        left -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char c = at(0);
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < n || at(1) < lo || at(1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if ((at(k) & 0xC0) != 0x80) return 0;
    return n;
}

bool IsNonAsciiUtf8(std::string_view bytes) {
    bool beyondAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8SequenceLength(bytes.substr(i));
        if (n == 0) return false;
        beyondAscii = beyondAscii || n > 1;
        i += n;
    }
    return beyondAscii;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    // A bad CP932 byte is replaced alone, so that the byte after it starts afresh.
    return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", [](unsigned char) { return 1u; });
}

std::string Utf8ToCp932(std::string_view utf8) {
    return Convert("CP932", "UTF-8", utf8, "?", Utf8Length);
}

}  // namespace tickora
