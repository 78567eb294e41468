#include "common/figures.h"

namespace tickora {

namespace {
constexpr std::array<const char*, kFigureCount> kKeys = {"meigaramei", "time",     "genzaiti",
                                                         "zenjitusa",  "sawariai", "dekidaka"};
constexpr std::array<const char*, kFigureCount> kNames = {"name",   "time",  "price",
                                                          "change", "ratio", "volume"};
}  // namespace

const char* FigureKey(int figure) {
    return figure >= 0 && figure < kFigureCount ? kKeys[static_cast<std::size_t>(figure)] : "";
}

const char* FigureName(int figure) {
    return figure >= 0 && figure < kFigureCount ? kNames[static_cast<std::size_t>(figure)] : "";
}

}  // namespace tickora
