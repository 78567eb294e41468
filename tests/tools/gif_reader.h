#pragma once
// Just enough of a GIF decoder to prove an image is well formed: one image, any code size.

#include <optional>
#include <string_view>
#include <vector>

namespace tickora::test {

struct GifImage {
    int width = 0;
    int height = 0;
    int paletteSize = 0;
    std::vector<unsigned char> pixels;  // colour indices, row by row
};

// nullopt when the bytes are not a complete, consistent GIF87a/89a image.
std::optional<GifImage> ReadGif(std::string_view bytes);

}  // namespace tickora::test
