// libFuzzer target for the alerts' parsers: figures from pages and [ALERTS] values from the
// settings file. Any bytes must parse or be refused; what parses must write back and read back
// the same, and a key made of any code and market must stay one plain ini name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "alerts/alert_settings.h"

namespace {
void Require(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tickora;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const bool percent : {false, true}) {
        if (const std::optional<double> value = ParseFigure(bytes, percent)) {
            Require(ParseFigure(PlainNumber(*value), false) == *value);
            Require(ParseFigure(GroupedNumber(*value), false) == *value);
        }
    }
    if (const std::optional<AlertLimits> limits = ParseAlertValue(bytes))
        Require(ParseAlertValue(AlertValue(*limits)) == limits);
    const std::size_t half = bytes.size() / 2;
    const std::string key =
        AlertKey({std::string(bytes.substr(0, half)), std::string(bytes.substr(half))});
    for (const char c : key)
        Require((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_' ||
                c == '.' || c == '%');
    return 0;
}
