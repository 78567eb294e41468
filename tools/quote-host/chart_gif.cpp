#include "chart_gif.h"

#include <algorithm>

namespace tickora::quotehost {

namespace {

enum Colour : unsigned char { kBackground = 0, kGrid = 1, kLine = 2, kBase = 3 };

void PutLe16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

// LZW code stream that never lets the code width grow: with 8-bit roots every code is
// 9 bits wide as long as a clear code comes before the table reaches 512 entries.
class BitWriter {
  public:
    void Put(int code, int width) {
        acc_ |= static_cast<unsigned long>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            bytes_ += static_cast<char>(acc_ & 0xFF);
            acc_ >>= 8;
            bits_ -= 8;
        }
    }
    std::string Finish() {
        if (bits_ > 0) bytes_ += static_cast<char>(acc_ & 0xFF);
        acc_ = 0;
        bits_ = 0;
        return std::move(bytes_);
    }

  private:
    std::string bytes_;
    unsigned long acc_ = 0;
    int bits_ = 0;
};

}  // namespace

std::string EncodeGif(int width, int height, const std::vector<unsigned char>& pixels) {
    std::string out = "GIF89a";
    PutLe16(out, width);
    PutLe16(out, height);
    out += static_cast<char>(0x81);  // global colour table of 4 entries
    out += '\0';                     // background colour index
    out += '\0';                     // no aspect ratio
    const unsigned char palette[4][3] = {
        {255, 255, 255}, {220, 220, 220}, {0, 64, 192}, {200, 0, 0}};
    for (const auto& rgb : palette) {
        for (const unsigned char c : rgb) out += static_cast<char>(c);
    }
    out += ',';
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, width);
    PutLe16(out, height);
    out += '\0';  // no local table, not interlaced

    constexpr int kMinCodeSize = 8;
    constexpr int kClear = 1 << kMinCodeSize;
    constexpr int kEnd = kClear + 1;
    constexpr int kWidth = kMinCodeSize + 1;
    constexpr int kRun = 250;  // literals between clear codes, well below the growth point
    BitWriter w;
    int sinceClear = kRun;
    for (const unsigned char p : pixels) {
        if (sinceClear == kRun) {
            w.Put(kClear, kWidth);
            sinceClear = 0;
        }
        w.Put(p, kWidth);
        ++sinceClear;
    }
    w.Put(kEnd, kWidth);
    const std::string data = w.Finish();

    out += static_cast<char>(kMinCodeSize);
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out += static_cast<char>(n);
        out.append(data, i, n);
    }
    out += '\0';  // block terminator
    out += ';';   // trailer
    return out;
}

std::string ChartGif(const std::vector<long>& prices) {
    const int w = kChartWidth;
    const int h = kChartHeight;
    std::vector<unsigned char> px(static_cast<std::size_t>(w * h), kBackground);
    auto set = [&](int x, int y, unsigned char c) {
        if (x >= 0 && x < w && y >= 0 && y < h) px[static_cast<std::size_t>(y * w + x)] = c;
    };
    for (int y = 0; y < h; y += 20) {
        for (int x = 0; x < w; ++x) set(x, y, kGrid);
    }
    for (int x = 0; x < w; x += 40) {
        for (int y = 0; y < h; ++y) set(x, y, kGrid);
    }
    if (prices.size() >= 2) {
        const auto [lo, hi] = std::minmax_element(prices.begin(), prices.end());
        const long span = std::max(1L, *hi - *lo);
        auto yOf = [&](long v) { return 4 + static_cast<int>((*hi - v) * (h - 9) / span); };
        const int base = yOf(prices.front());
        for (int x = 0; x < w; x += 2) set(x, base, kBase);
        const std::size_t n = prices.size() - 1;
        int lastY = yOf(prices[1]);
        for (int x = 0; x < w; ++x) {
            // The day (1440 minutes) spans the width; the line ends at the current minute.
            const std::size_t minute =
                static_cast<std::size_t>(x) * 1440 / static_cast<std::size_t>(w);
            if (minute >= n) break;
            const int y = yOf(prices[minute + 1]);
            for (int yy = std::min(y, lastY); yy <= std::max(y, lastY); ++yy) set(x, yy, kLine);
            lastY = y;
        }
    }
    return EncodeGif(w, h, px);
}

}  // namespace tickora::quotehost
