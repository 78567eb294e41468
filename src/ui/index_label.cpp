#include "ui/index_label.h"

#include <QPainter>

#include "common/codepage.h"
#include "common/sjis.h"
#include "ui/colour_rules.h"
#include "ui/fit_width.h"

namespace tickora {

IndexLabel::IndexLabel(Role role, QWidget* parent) : QLabel(parent), role_(role) {
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);
}

void IndexLabel::SetText(std::string_view cp932) {
    text_ = UpToNul(cp932);
    setText(QString::fromStdString(Cp932ToUtf8(text_)));
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
    painter.setFont(FittedFont(font(), text(), {width(), QWIDGETSIZE_MAX}));
    // drawText never interprets markup: a text from the network stays plain.
    painter.drawText(rect(), static_cast<int>(alignment()), text());
}

}  // namespace tickora
