#include "ui/clickable_label.h"

#include <QMetaMethod>
#include <QMouseEvent>

namespace tickora {

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    // Taken when someone listens, so that the release comes here too; otherwise passed on,
    // as a plain label does.
    if (event->button() == Qt::LeftButton &&
        isSignalConnected(QMetaMethod::fromSignal(&ClickableLabel::clicked)))
        event->accept();
    else
        QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}  // namespace tickora
