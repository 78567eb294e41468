#include "gif_reader.h"

#include <string>

namespace tickora::test {

namespace {

int Le16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}

// Standard GIF LZW: variable width, growth at 2^width, clear and end codes.
std::optional<std::vector<unsigned char>> Lzw(const std::string& data, int minCodeSize,
                                              std::size_t want) {
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::vector<std::vector<unsigned char>> table;
    auto reset = [&] {
        table.assign(static_cast<std::size_t>(clear + 2), {});
        for (int i = 0; i < clear; ++i)
            table[static_cast<std::size_t>(i)] = {static_cast<unsigned char>(i)};
    };
    reset();
    int width = minCodeSize + 1;
    std::size_t bit = 0;
    int prev = -1;
    std::vector<unsigned char> out;
    while (bit + static_cast<std::size_t>(width) <= data.size() * 8) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit) {
            code |= ((static_cast<unsigned char>(data[bit / 8]) >> (bit % 8)) & 1) << i;
        }
        if (code == clear) {
            reset();
            width = minCodeSize + 1;
            prev = -1;
            continue;
        }
        if (code == end) return out.size() == want ? std::optional(out) : std::nullopt;
        std::vector<unsigned char> entry;
        if (code < static_cast<int>(table.size()) &&
            !table[static_cast<std::size_t>(code)].empty()) {
            entry = table[static_cast<std::size_t>(code)];
        } else if (code == static_cast<int>(table.size()) && prev >= 0) {
            entry = table[static_cast<std::size_t>(prev)];
            entry.push_back(entry.front());
        } else {
            return std::nullopt;
        }
        if (prev >= 0) {
            auto added = table[static_cast<std::size_t>(prev)];
            added.push_back(entry.front());
            table.push_back(std::move(added));
            if (static_cast<int>(table.size()) == (1 << width) && width < 12) ++width;
        }
        out.insert(out.end(), entry.begin(), entry.end());
        prev = code;
    }
    return std::nullopt;  // no end code
}

}  // namespace

std::optional<GifImage> ReadGif(std::string_view b) {
    if (b.size() < 13 || (b.substr(0, 6) != "GIF89a" && b.substr(0, 6) != "GIF87a"))
        return std::nullopt;
    GifImage img;
    img.width = Le16(b, 6);
    img.height = Le16(b, 8);
    const auto flags = static_cast<unsigned char>(b[10]);
    std::size_t at = 13;
    if (flags & 0x80) {
        img.paletteSize = 2 << (flags & 7);
        at += static_cast<std::size_t>(img.paletteSize) * 3;
    }
    while (at < b.size() && b[at] == '!') {  // extensions: skip their sub-blocks
        at += 2;
        while (at < b.size() && b[at] != 0) at += static_cast<unsigned char>(b[at]) + 1u;
        ++at;
    }
    if (at + 10 > b.size() || b[at] != ',') return std::nullopt;
    const int w = Le16(b, at + 5);
    const int h = Le16(b, at + 7);
    if (w != img.width || h != img.height || (static_cast<unsigned char>(b[at + 9]) & 0x80))
        return std::nullopt;
    at += 10;
    const int minCodeSize = static_cast<unsigned char>(b[at++]);
    if (minCodeSize < 2 || minCodeSize > 8) return std::nullopt;
    std::string data;
    while (at < b.size() && b[at] != 0) {
        const std::size_t n = static_cast<unsigned char>(b[at]);
        if (at + 1 + n > b.size()) return std::nullopt;
        data.append(b.substr(at + 1, n));
        at += n + 1;
    }
    if (at + 2 != b.size() || b[at + 1] != ';') return std::nullopt;  // terminator, trailer
    auto pixels = Lzw(data, minCodeSize, static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    if (!pixels) return std::nullopt;
    img.pixels = std::move(*pixels);
    return img;
}

}  // namespace tickora::test
