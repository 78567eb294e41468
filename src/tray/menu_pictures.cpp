#include "tray/menu_pictures.h"

#include <QPainter>
#include <QPolygon>

namespace tickora {

namespace {

constexpr int kSize = 11;
const QColor kRed(220, 0, 0), kBlue(0, 0, 220);

}  // namespace

QPixmap DrawMenuPicture(MenuPicture picture, bool tick) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setPen(Qt::NoPen);
    switch (picture) {
        case MenuPicture::Up:
            p.setBrush(kRed);
            p.drawPolygon(QPolygon({{5, 0}, {10, 5}, {7, 5}, {7, 10}, {3, 10}, {3, 5}, {0, 5}}));
            break;
        case MenuPicture::Down:
            p.setBrush(kBlue);
            p.drawPolygon(QPolygon({{5, 10}, {10, 5}, {7, 5}, {7, 0}, {3, 0}, {3, 5}, {0, 5}}));
            break;
        default:
            p.setBrush(kRed);
            p.drawPolygon(QPolygon({{5, 0}, {10, 5}, {0, 5}}));
            p.setBrush(kBlue);
            p.drawPolygon(QPolygon({{0, 6}, {10, 6}, {5, 10}}));
            break;
    }
    if (tick) {
        p.setPen(QPen(Qt::black, 2));
        p.drawPolyline(QPolygon({{1, 6}, {4, 9}, {10, 2}}));
    }
    return pixmap;
}

QIcon CheckableIcon(const QPixmap& unchecked, const QPixmap& checked) {
    QIcon icon;
    icon.addPixmap(unchecked, QIcon::Normal, QIcon::Off);
    icon.addPixmap(checked, QIcon::Normal, QIcon::On);
    return icon;
}

}  // namespace tickora
