#pragma once
// The six figures of a quote, in the order a QuoteResult holds them, and the one array type
// for six texts of a quote (CP932 unless said otherwise).

#include <array>
#include <string>

namespace tickora {

enum Figure : int {
    kNameFigure,
    kTimeFigure,
    kPriceFigure,
    kChangeFigure,
    kRatioFigure,
    kVolumeFigure,
};
inline constexpr int kFigureCount = 6;

using FigureTexts = std::array<std::string, kFigureCount>;

// The settings key of a figure's pattern and rule: meigaramei, time, genzaiti, zenjitusa,
// sawariai, dekidaka; "" outside 0..5.
const char* FigureKey(int figure);
// "name", "time", "price", "change", "ratio", "volume": for reports in English.
const char* FigureName(int figure);

}  // namespace tickora
