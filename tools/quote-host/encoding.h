#pragma once
// UTF-8 to the two encodings of the quote pages, through glibc's iconv.

#include <string>
#include <string_view>

#include "market.h"

namespace tickora::quotehost {

// Characters the target cannot hold become '?'; never fails.
std::string Encode(std::string_view utf8, PageKind kind);

}  // namespace tickora::quotehost
