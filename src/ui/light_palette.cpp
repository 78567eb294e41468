#include "ui/light_palette.h"

namespace tickora {

QPalette LightPalette() {
    const QColor face(240, 240, 240), text(Qt::black), white(Qt::white);
    QPalette p(text, face, white, QColor(160, 160, 160), QColor(200, 200, 200), text, white);
    p.setColor(QPalette::Button, face);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Base, white);
    p.setColor(QPalette::AlternateBase, QColor(245, 245, 245));
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(109, 109, 109));
    p.setColor(QPalette::Highlight, QColor(0, 120, 215));
    p.setColor(QPalette::HighlightedText, white);
    p.setColor(QPalette::Link, QColor(0, 0, 255));
    const QColor grey(109, 109, 109);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, grey);
    return p;
}

}  // namespace tickora
