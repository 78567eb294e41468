#include "common/leading_int.h"

#include <climits>

namespace tickora {

namespace {
bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
}  // namespace

LeadingNumber SplitLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    LeadingNumber number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
    std::size_t end = i;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    number.digits = text.substr(i, end - i);
    return number;
}

int LeadingInt(std::string_view text) {
    const LeadingNumber number = SplitLeadingNumber(text);
    long long value = 0;
    const long long limit = number.negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (const char digit : number.digits) {
        value = value * 10 + (digit - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(number.negative ? -value : value);
}

}  // namespace tickora
