// SplitQuoteResult and RiseFallMark take any text, the network error text included.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "reading/extract.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const tickora::FigureTexts fields = tickora::SplitQuoteResult(input);
    std::size_t total = 0;
    for (const auto& f : fields) total += f.size();
    if (total > input.size()) std::abort();
    if (tickora::RiseFallMark(fields[4]).size() != 3) std::abort();
    return 0;
}
