#include "compression.h"

#include <zlib.h>

#include <cctype>
#include <cstdlib>
#include <new>
#include <optional>

namespace tickora::quotehost {

namespace {

constexpr std::size_t kMiB = 1u << 20;
constexpr int kRawDeflate = -15, kZlib = 15, kGzip = 31;  // zlib's window bits for each framing

// data deflated at once. Z_FULL_FLUSH leaves the output byte-aligned, without a last block and
// without a reference to anything before it, so it can stand anywhere in a stream of the same
// framing and as often as wanted; Z_FINISH ends the stream.
std::string Deflated(std::string_view data, int windowBits, int level, int flush) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    // deflateBound covers Z_FINISH; a flush adds an empty stored block.
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, flush);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != (flush == Z_FINISH ? Z_STREAM_END : Z_OK) || z.avail_in != 0) throw std::bad_alloc();
    return out;
}

std::string LittleEndian32(unsigned long long v) {
    std::string out;
    for (int i = 0; i < 4; ++i, v >>= 8) out += static_cast<char>(v & 0xFF);
    return out;
}

uLong Crc(std::string_view data) {
    return crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
}

// One mebibyte of spaces, deflated once for every bomb. A run of one byte deflates best, each
// 258 bytes to one length code of a bit or two and a distance of 1 without extra bits.
struct FillerBlock {
    std::string deflated;
    uLong crc = 0;
};

const FillerBlock& Filler() {
    static const FillerBlock block = [] {
        const std::string plain(kMiB, ' ');
        return FillerBlock{Deflated(plain, kRawDeflate, Z_BEST_COMPRESSION, Z_FULL_FLUSH),
                           Crc(plain)};
    }();
    return block;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

Coding ChosenCoding(std::string_view acceptEncoding) {
    // Whether each is accepted, when named: a weight of 0 refuses it.
    std::optional<bool> gzip, deflate, any;
    for (std::size_t at = 0; at <= acceptEncoding.size();) {
        std::size_t end = acceptEncoding.find(',', at);
        if (end == std::string_view::npos) end = acceptEncoding.size();
        const std::string_view item = acceptEncoding.substr(at, end - at);
        at = end + 1;
        const std::size_t semi = item.find(';');
        const std::string_view name = Trimmed(item.substr(0, semi));
        bool accepted = true;
        if (semi != std::string_view::npos) {
            const std::string_view param = Trimmed(item.substr(semi + 1));
            if (param.size() > 2 && SameNoCase(param.substr(0, 2), "q="))
                accepted = std::strtod(std::string(param.substr(2)).c_str(), nullptr) > 0;
        }
        if (SameNoCase(name, "gzip") || SameNoCase(name, "x-gzip")) gzip = accepted;
        if (SameNoCase(name, "deflate")) deflate = accepted;
        if (name == "*") any = accepted;
    }
    if (gzip.value_or(any.value_or(false))) return Coding::kGzip;
    if (deflate.value_or(any.value_or(false))) return Coding::kDeflate;
    return Coding::kIdentity;
}

const char* CodingName(Coding coding) {
    switch (coding) {
        case Coding::kGzip:
            return "gzip";
        case Coding::kDeflate:
            return "deflate";
        case Coding::kIdentity:
            break;
    }
    return "";
}

bool Compressible(std::string_view contentType) {
    return contentType.starts_with("text/");
}

std::string Encoded(std::string_view body, Coding coding) {
    if (coding == Coding::kIdentity) return std::string(body);
    return Deflated(body, coding == Coding::kGzip ? kGzip : kZlib, Z_DEFAULT_COMPRESSION, Z_FINISH);
}

GzipBomb::GzipBomb(std::string_view head, std::size_t fillerMiB, std::string_view tail)
    : repeats_(fillerMiB) {
    const FillerBlock& filler = Filler();
    // A gzip header without name or time, from a Unix system.
    head_ = std::string("\x1F\x8B\x08\0\0\0\0\0\0\x03", 10) +
            Deflated(head, kRawDeflate, Z_BEST_COMPRESSION, Z_FULL_FLUSH);
    uLong crc = Crc(head);
    for (std::size_t i = 0; i < repeats_; ++i)
        crc = crc32_combine(crc, filler.crc, static_cast<z_off_t>(kMiB));
    crc = crc32_combine(crc, Crc(tail), static_cast<z_off_t>(tail.size()));
    const unsigned long long inflated = head.size() + repeats_ * kMiB + tail.size();
    tail_ = Deflated(tail, kRawDeflate, Z_BEST_COMPRESSION, Z_FINISH) + LittleEndian32(crc) +
            LittleEndian32(inflated);  // the size modulo 2^32
}

std::size_t GzipBomb::Size() const {
    return head_.size() + repeats_ * Filler().deflated.size() + tail_.size();
}

std::string_view GzipBomb::At(std::size_t offset, std::size_t n) const {
    const std::string& block = Filler().deflated;
    if (offset < head_.size()) return std::string_view(head_).substr(offset, n);
    offset -= head_.size();
    if (offset < repeats_ * block.size())
        return std::string_view(block).substr(offset % block.size(), n);
    offset -= repeats_ * block.size();
    return offset < tail_.size() ? std::string_view(tail_).substr(offset, n) : std::string_view();
}

}  // namespace tickora::quotehost
