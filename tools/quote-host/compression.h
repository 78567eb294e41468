#pragma once
// Content codings of the host's answers: gzip or deflate when the client offers one, and the
// bomb, a small gzip body that inflates to gigabytes.

#include <cstddef>
#include <string>
#include <string_view>

namespace tickora::quotehost {

enum class Coding { kIdentity, kGzip, kDeflate };

// The coding for a request's Accept-Encoding: gzip before deflate, neither when refused with
// q=0 or not offered ("*" offers both).
Coding ChosenCoding(std::string_view acceptEncoding);

// The Content-Encoding name; empty for identity.
const char* CodingName(Coding coding);

// Whether answers of this Content-Type are compressed when asked: text, as real sites do.
bool Compressible(std::string_view contentType);

// body in that coding: gzip, or deflate as zlib data (RFC 1950), as HTTP names them.
std::string Encoded(std::string_view body, Coding coding);

// A gzip body of head, then fillerMiB mebibytes of spaces, then tail. The mebibyte is deflated
// once, after a full flush, and the same bytes stand for every repetition: some 1 KiB on the
// wire per MiB, made as it goes out.
class GzipBomb {
  public:
    GzipBomb(std::string_view head, std::size_t fillerMiB, std::string_view tail);

    std::size_t Size() const;  // on the wire
    // Up to n bytes of the body from offset.
    std::string_view At(std::size_t offset, std::size_t n) const;

  private:
    std::string head_;     // gzip header and the deflated head
    std::size_t repeats_;  // of the filler block
    std::string tail_;     // the deflated tail, the last block and the gzip trailer
};

}  // namespace tickora::quotehost
