// EUC-JP conversion of any bytes: never reads past the text, never grows it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/codepage.h"
#include "reading/extract.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string out = tickora::EucJpToShiftJis(input);
    if (out.size() > input.size()) std::abort();
    (void)tickora::Cp932ToUtf8(out);  // display conversion of whatever came out
    return 0;
}
