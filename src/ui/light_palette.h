#pragma once
// The colours of the program's rise and fall marks and of its home-page text were chosen for
// a light window; on a dark desktop scheme they would nearly vanish. The main window and its
// list therefore keep a light palette of their own, whatever the desktop's.

#include <QPalette>

namespace tickora {

QPalette LightPalette();

}  // namespace tickora
