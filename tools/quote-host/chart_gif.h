#pragma once
// A small intraday chart as a GIF89a image.

#include <string>
#include <vector>

namespace tickora::quotehost {

inline constexpr int kChartWidth = 160;
inline constexpr int kChartHeight = 80;

// prices[0] is the previous close (drawn as a base line), the rest the day so far.
std::string ChartGif(const std::vector<long>& prices);

// Any picture of 4-colour indices (row by row) as GIF89a bytes.
std::string EncodeGif(int width, int height, const std::vector<unsigned char>& pixels);

}  // namespace tickora::quotehost
