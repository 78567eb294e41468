#include "encoding.h"

#include <errno.h>
#include <iconv.h>

namespace tickora::quotehost {

std::string Encode(std::string_view utf8, PageKind kind) {
    iconv_t cd = iconv_open(kind == PageKind::kShiftJis ? "CP932" : "EUC-JP", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* o = buffer;
        size_t outLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // Unconvertible or invalid: one '?' for the byte, then go on.
            out += '?';
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace tickora::quotehost
