#pragma once
#include <QCursor>

namespace tickora {

// The pointing hand over the clickable texts; its hot spot is the fingertip.
inline constexpr int kHandHotX = 12;
inline constexpr int kHandHotY = 1;
QCursor HandCursor();

}  // namespace tickora
