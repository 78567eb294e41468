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
// The seven pattern texts as base_data.ini holds them, in table order (CP932).
using PatternTexts = std::array<std::string, kPatternCount>;

// '[label]_prefix_suffix': the prefix never holds '_', the suffix keeps any further ones.
ExtractionPattern SplitFieldPattern(std::string_view text);
// '[label]_prefix': the prefix keeps every byte after the first '_'.
ExtractionPattern SplitAnchorPattern(std::string_view text);

// The settings key of pattern 0..6: "key", then the figures' keys (meigaramei ... dekidaka).
const char* PatternKey(int pattern);
// The default text of each pattern, in table order (CP932).
const PatternTexts& DefaultPatternTexts();

// Splits seven pattern texts (index 0 the anchor) into the table.
PatternTable MakePatternTable(const PatternTexts& texts);
const PatternTable& DefaultPatterns();

}  // namespace tickora
