#include "ui/list_cell_delegate.h"

#include <QApplication>
#include <QPainter>

namespace tickora {

void ListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // Anything but plain text (a focus frame, an icon, a check) goes to the style.
    if (opt.features & ~QStyleOptionViewItem::HasDisplay || opt.state & QStyle::State_HasFocus) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : opt.state & QStyle::State_Active   ? QPalette::Active
                                                                            : QPalette::Inactive;
    // A cell with text alone has all of its rect for the text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &opt, widget) + 1;
    const QRect rect = opt.rect.adjusted(margin, 0, -margin, 0);
    const QString key = opt.text + QChar(0) + QString::number(rect.width());
    auto it = shaped_.constFind(key);
    if (it == shaped_.constEnd()) {
        if (shaped_.size() > 1024) shaped_.clear();
        const auto shape = [&](const QString& shown) {
            QStaticText text(shown);
            text.setTextFormat(Qt::PlainText);
            text.setTextOption(QTextOption(opt.displayAlignment));
            text.prepare(painter->transform(), opt.font);
            return text;
        };
        QStaticText text = shape(opt.text);
        if (text.size().width() > rect.width())
            text = shape(opt.fontMetrics.elidedText(opt.text, opt.textElideMode, rect.width()));
        it = shaped_.insert(key, text);
    }
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(
        group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const QSizeF size = it->size();
    const QRect at = QStyle::alignedRect(opt.direction, opt.displayAlignment, size.toSize(), rect);
    painter->drawStaticText(at.topLeft(), *it);
    painter->restore();
}

}  // namespace tickora
