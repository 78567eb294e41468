#pragma once
// The window's menu items, made once, and the list's and the settings' menus that show them.

#include <map>

class QAction;
class QMenu;

namespace tickora {

struct MenuActions {
    std::map<int, QAction*> m_menuActions;
    QMenu* m_pListMenu = nullptr;
    QMenu* m_pSettingsMenu = nullptr;
};

}  // namespace tickora
