#pragma once
// The 11 x 11 pictures of the tray menu's items: a red up arrow for a rise, a blue down arrow
// for a fall, a red and blue diamond otherwise, each also with a black tick for the checked
// item.

#include <QIcon>
#include <QPixmap>

#include "tray/tray_menu.h"

namespace tickora {

QPixmap DrawMenuPicture(MenuPicture picture, bool checked);

// An item icon that shows `unchecked` normally and `checked` while the item is checked.
QIcon CheckableIcon(const QPixmap& unchecked, const QPixmap& checked);

}  // namespace tickora
