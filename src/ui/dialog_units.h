#pragma once
// Dialog units: the layout's coordinates, in quarters of the dialog font's average
// character width and eighths of its height.

#include <QFont>
#include <QRect>

namespace tickora {

struct BaseUnits {
    int x = 0;  // average width of A-Z a-z, halved with rounding
    int y = 0;  // font height
    bool operator==(const BaseUnits&) const = default;
};

// "ＭＳ Ｐゴシック" 9 pt, falling back to IPAPGothic and then Noto Sans CJK JP.
QFont DialogFont();
BaseUnits BaseUnitsOf(const QFont& font);

// x px = du * baseX / 4 and y px = du * baseY / 8, each rounded to the nearest pixel.
int DuToPxX(int du, const BaseUnits& units);
int DuToPxY(int du, const BaseUnits& units);
QRect DuToPx(const QRect& du, const BaseUnits& units);

}  // namespace tickora
