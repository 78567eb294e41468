#pragma once
#include <array>
#include <string>
#include <string_view>

namespace tickora {

// One text pattern of the quote page: literal delimiters around a field (the anchor has
// only a prefix). The label names the field for a reader of the settings file.
struct ExtractionPattern {
    std::string label;
    std::string prefix;
    std::string suffix;

    bool operator==(const ExtractionPattern&) const = default;
};

inline constexpr int kPatternCount = 7;  // anchor + six fields
using PatternTable = std::array<ExtractionPattern, kPatternCount>;

// '[label]_prefix_suffix': the prefix never holds '_', the suffix keeps any further ones.
ExtractionPattern SplitFieldPattern(std::string_view text);
// '[label]_prefix': the prefix keeps every byte after the first '_'.
ExtractionPattern SplitAnchorPattern(std::string_view text);

// Settings key and default text of each pattern, in table order
// (key, meigaramei, time, genzaiti, zenjitusa, sawariai, dekidaka).
struct PatternDefault {
    const char* key;
    std::string text;  // CP932
};
const std::array<PatternDefault, kPatternCount>& DefaultPatternTexts();

// Splits seven pattern texts (index 0 the anchor) into the table.
PatternTable MakePatternTable(const std::array<std::string, kPatternCount>& texts);
const PatternTable& DefaultPatterns();

}  // namespace tickora
