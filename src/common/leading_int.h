#pragma once
#include <string_view>

namespace tickora {

// The runtime's atoi: leading blanks, an optional sign, decimal digits up to the first
// other character, 0 when there are none. Saturates at the int range instead of
// overflowing.
int LeadingInt(std::string_view text);

}  // namespace tickora
