#include "app/list_tool_tip.h"

#include <QEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>

namespace tickora {

ListToolTip::ListToolTip(QWidget* area, QString text, QObject* parent)
    : QObject(parent), area_(area), text_(std::move(text)) {
    timer_.setSingleShot(true);
    timer_.setInterval(kInitialDelayMs);
    connect(&timer_, &QTimer::timeout, this, &ListToolTip::Show);
    area_->setMouseTracking(true);
    area_->installEventFilter(this);
}

bool ListToolTip::eventFilter(QObject* watched, QEvent* event) {
    if (watched != area_) return false;
    switch (event->type()) {
        case QEvent::ToolTip:
            return true;  // the toolkit's own tips would come with the toolkit's delays
        case QEvent::MouseMove:
            lastPos_ = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (!shown_) timer_.start();
            break;
        case QEvent::Leave:
            timer_.stop();
            if (shown_) QToolTip::hideText();
            shown_ = false;
            timer_.setInterval(kReshowDelayMs);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
            timer_.stop();
            break;
        default:
            break;
    }
    return false;
}

QString ListToolTip::TextAt(QPoint pos) const {
    const QString line = lineAt_ ? lineAt_(pos) : QString();
    return line.isEmpty() ? text_ : text_ + QLatin1Char('\n') + line;
}

void ListToolTip::Show() {
    if (!area_->isVisible()) return;
    QToolTip::showText(area_->mapToGlobal(lastPos_), TextAt(lastPos_), area_, area_->rect(),
                       kAutoPopMs);
    shown_ = true;
}

}  // namespace tickora
