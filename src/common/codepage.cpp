#include "common/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace tickora {

namespace {

// One descriptor per thread and direction, opened on first use: pages are converted on any
// worker, and the window converts each cell it shows. Every conversion leaves its descriptor
// reset for the next.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    operator iconv_t() const { return cd_; }

  private:
    iconv_t cd_;
};

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
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

char32_t Utf8CodePoint(std::string_view s, std::size_t& length) {
    length = Utf8SequenceLength(s.substr(0, 4));
    const auto b = [&](std::size_t i) { return static_cast<char32_t>(static_cast<uint8_t>(s[i])); };
    switch (length) {
        case 0:
            length = s.empty() ? 0 : 1;
            return s.empty() ? 0 : b(0);
        case 1:
            return b(0);
        case 2:
            return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
        case 3:
            return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    }
    return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
}

std::string Utf8Of(char32_t c) {
    std::string out;
    const auto tail = [&](int shift) { out += static_cast<char>(0x80 | ((c >> shift) & 0x3F)); };
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        tail(0);
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        tail(6);
        tail(0);
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        tail(12);
        tail(6);
        tail(0);
    }
    return out;
}

std::size_t Utf8CharacterStart(std::string_view text, std::size_t at) {
    at = std::min(at, text.size());
    while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
        --at;
    return at;
}

// CP932 to UTF-8 with iconv; a byte it cannot convert becomes U+FFFD alone, so that the byte
// after it starts afresh. Both share the ASCII bytes, and most cells hold nothing else.
std::string Cp932ToUtf8(std::string_view in) {
    if (IsAscii(in)) return std::string(in);
    static thread_local const Iconv cd("UTF-8", "CP932");
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
        out.append("\xEF\xBF\xBD");
        ++src;
        --left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return out;
}

std::string Utf8ToCp932(std::string_view in) {
    static thread_local const Iconv cd("CP932", "UTF-8");
    // CP932 never needs more bytes than UTF-8 for the same text, nor '?' more than the bytes
    // it stands for, so one allocation of the input's size is enough.
    std::string out(in.size(), '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char* dst = out.data();
    std::size_t room = out.size();
    while (left > 0) {
        if (iconv(cd, &src, &left, &dst, &room) != static_cast<std::size_t>(-1)) break;
        const int error = errno;
        if (error == E2BIG || room == 0) {
            const std::size_t used = static_cast<std::size_t>(dst - out.data());
            out.resize(out.size() * 2 + 16);
            dst = out.data() + used;
            room = out.size() - used;
            if (error == E2BIG) continue;
        }
        // A character CP932 cannot hold is skipped whole, a byte that is not UTF-8 alone.
        const std::size_t whole = Utf8SequenceLength(std::string_view(src, left));
        const std::size_t skip = whole == 0 ? 1 : whole;
        src += skip;
        left -= skip;
        *dst++ = '?';
        --room;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
}

}  // namespace tickora
