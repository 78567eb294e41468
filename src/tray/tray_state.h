#pragma once
// What the main window keeps of the notification area: the pictures of the tray's icon and
// menu, whether the program lives there, what the icon shows, and timer 1, which keeps its
// tip current.

#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include <optional>
#include <string>

#include "tray/tray_host.h"
#include "tray/tray_menu.h"
#include "tray/tray_tip.h"

class QMenu;
class QSystemTrayIcon;

namespace tickora {

struct TrayState {
    QPixmap m_bmpUp, m_bmpDown, m_bmpUpChecked, m_bmpDownChecked, m_bmpFlat, m_bmpFlatChecked;
    QIcon m_hIconUp, m_hIconDown, m_hIconFlat;
    int m_bTrayIcon = 0;
    QSystemTrayIcon* m_pTrayIcon = nullptr;
    QMenu* m_pTrayMenu = nullptr;
    ActivationPairing m_trayActivations;
    // The host that took the icon when the program went into the tray.
    TrayHostKind m_trayHostKind = TrayHostKind::None;
    // What the tray shows: the tip text (CP932) and the image, nullopt for the program icon.
    std::string m_strTrayTip;
    std::optional<TrayIconKind> m_trayIconKind;
    QTimer m_timerTip;  // timer 1, a child of the window
};

}  // namespace tickora
