#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace tickora {

QFont DialogFont() {
    QFont font;
    font.setFamilies(QStringList{QString::fromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                                 QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSize(9);
    return font;
}

BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The average of 52 letters, halved with rounding.
    return {(width / 26 + 1) / 2, metrics.height()};
}

namespace {
// MulDiv: the product divided with rounding half away from zero.
int MulDiv(int value, int numerator, int denominator) {
    const long long p = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(p >= 0 ? (p + half) / denominator : (p - half) / denominator);
}
}  // namespace

int DuToPxX(int du, const BaseUnits& units) {
    return MulDiv(du, units.x, 4);
}
int DuToPxY(int du, const BaseUnits& units) {
    return MulDiv(du, units.y, 8);
}

QRect DuToPx(const QRect& du, const BaseUnits& units) {
    return {DuToPxX(du.x(), units), DuToPxY(du.y(), units), DuToPxX(du.width(), units),
            DuToPxY(du.height(), units)};
}

}  // namespace tickora
