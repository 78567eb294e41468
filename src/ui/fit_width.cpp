#include "ui/fit_width.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace tickora {

FitWidthValidator::FitWidthValidator(QLineEdit* edit) : QValidator(edit), edit_(edit) {}

QValidator::State FitWidthValidator::validate(QString& input, int&) const {
    QStyleOptionFrame option;
    option.initFrom(edit_);
    option.lineWidth = edit_->hasFrame() ? edit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                                       &option, edit_)
                                         : 0;
    const QRect contents = edit_->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, edit_)
                               .marginsRemoved(edit_->textMargins());
    // The line edit keeps two pixels each side and one for the cursor.
    const int room = contents.width() - 2 * 2 - 1;
    return edit_->fontMetrics().horizontalAdvance(input) <= room ? Acceptable : Invalid;
}

QFont FittedFont(QFont font, const QString& text, QSize size) {
    const auto fits = [&] {
        const QFontMetrics m(font);
        return m.horizontalAdvance(text) <= size.width() && m.height() <= size.height();
    };
    for (int px = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
         px > 7 && !fits(); --px)
        font.setPixelSize(px - 1);
    return font;
}

}  // namespace tickora
