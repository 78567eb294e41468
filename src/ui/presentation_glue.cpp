// The main window's own painting decisions: the hover shade and underline of the
// home-page label. The index band paints itself (IndexLabel), the list's cell colours come
// from the model, the hand cursor is set on the clickable texts when they are created.

#include <QLabel>

#include "app/quote_dlg.h"
#include "common/control_ids.h"
#include "ui/colour_rules.h"

namespace tickora {

void CQuoteDlg::ApplyLinkLook() {
    if (!m_stcLink) return;
    m_fontLink = m_lfLink;
    m_stcLink->setFont(m_fontLink);
    QPalette palette = m_stcLink->palette();
    const Rgb colour = LinkColour(m_nLinkHover);
    palette.setColor(QPalette::WindowText, QColor(colour.r, colour.g, colour.b));
    m_stcLink->setPalette(palette);
    m_stcLink->repaint();
}

void CQuoteDlg::OnSetCursor(QWidget* widget) {
    const int id = ControlIdOf(widget);
    if (id == ids::kHomeLink) {
        if (m_nLinkHover != kLinkHoverOn) {
            m_nLinkHover = kLinkHoverOn;
            m_lfLink.setUnderline(true);
            ApplyLinkLook();
        }
        return;
    }
    // Over the index names only the cursor changes (it is set on those labels).
    if (ids::IsClickableStatic(id)) return;
    if (m_nLinkHover != kLinkHoverOff) {
        m_nLinkHover = kLinkHoverOff;
        m_lfLink.setUnderline(false);
        ApplyLinkLook();
    }
}

}  // namespace tickora
