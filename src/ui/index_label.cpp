#include "ui/index_label.h"

#include <QPainter>

#include "common/codepage.h"
#include "common/sjis.h"
#include "ui/colour_rules.h"
#include "ui/fit_width.h"
#include "ui/plain_text.h"

namespace tickora {

IndexLabel::IndexLabel(Role role, QWidget* parent) : ClickableLabel(parent), role_(role) {
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);
    // It paints every pixel itself, so the window behind it is not painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void IndexLabel::SetText(std::string_view cp932) {
    const std::string_view text = UpToNul(cp932);
    if (text == text_) return;
    text_ = text;
    setText(Shown(text_));
    fitted_.reset();  // fitted again at the next paint, once for this text
}

void IndexLabel::resizeEvent(QResizeEvent* event) {
    fitted_.reset();
    QLabel::resizeEvent(event);
}

QColor IndexLabel::TextColour() const {
    const Rgb c = role_ == Role::Change ? IndexChangeColour(text_) : kWhite;
    return {c.r, c.g, c.b};
}

void IndexLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (role_ == Role::Filler) return;
    painter.setPen(TextColour());
    // A line longer than the static (a wide fallback font) is drawn smaller rather than
    // clipped at both ends, so the name and the value stay readable.
    if (!fitted_) fitted_ = FittedFont(font(), text(), {width(), QWIDGETSIZE_MAX});
    painter.setFont(*fitted_);
    // drawText never interprets markup: a text from the network stays plain.
    painter.drawText(rect(), static_cast<int>(alignment()), text());
}

}  // namespace tickora
