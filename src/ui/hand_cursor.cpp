#include "ui/hand_cursor.h"

#include <QPixmap>

namespace tickora {

QCursor HandCursor() {
    const QPixmap hand(QStringLiteral(":/res/hand.png"));
    if (hand.isNull()) return QCursor(Qt::PointingHandCursor);
    return QCursor(hand, kHandHotX, kHandHotY);
}

}  // namespace tickora
