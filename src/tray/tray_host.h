#pragma once
// What holds tray icons on this desktop. Asked afresh at every minimise, since a panel may
// appear after the program started or go away while it runs.

#include <memory>

namespace tickora {

enum class TrayHostKind {
    None,            // no notification area: the window minimises instead of hiding
    XEmbed,          // a system-tray selection owner (trayer, most X panels)
    StatusNotifier,  // a D-Bus status-notifier host (KDE, Wayland panels): no double clicks
};

class TrayHost {
  public:
    virtual ~TrayHost() = default;
    virtual TrayHostKind Kind() = 0;
};

std::shared_ptr<TrayHost> MakeDesktopTrayHost();

}  // namespace tickora
