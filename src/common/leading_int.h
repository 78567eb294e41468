#pragma once
#include <string_view>

namespace tickora {

// The runtime's atoi: leading blanks, an optional sign, decimal digits up to the first
// other character, 0 when there are none. Saturates at the int range instead of
// overflowing.
int LeadingInt(std::string_view text);

// What such a reading takes of a text: the sign and the run of decimal digits after the
// leading blanks.
struct LeadingNumber {
    bool negative = false;
    std::string_view digits;
};
LeadingNumber SplitLeadingNumber(std::string_view text);

}  // namespace tickora
