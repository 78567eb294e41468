#pragma once
// A row being dragged to another place in the list: where it began, its image on screen and
// where the pointer holds that image.

#include <QPoint>

class QPixmap;
class QWidget;

namespace tickora {

struct RowDrag {
    QPixmap* m_pDragImage = nullptr;
    int m_bDragging = 0;
    int m_nDragIndex = 0;
    QWidget* m_pDragWindow = nullptr;
    QPoint m_dragHotSpot;
    QPoint m_dragPressPos;  // where the left button went down on the list, -1 when up
};

}  // namespace tickora
