// Reordering the watch list by dragging a row with the left button.

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

#include "app/quote_dlg.h"
#include "watchlist/editing.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

bool CQuoteDlg::OnListMouseEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
        // The second press of a double click comes as the double click alone; held, it starts
        // a drag as any press does.
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (mouse->button() == Qt::LeftButton)
                m_drag.m_dragPressPos = mouse->position().toPoint();
            return false;
        case QEvent::MouseMove:
            if (m_drag.m_bDragging) {
                OnMouseMove(mouse->globalPosition().toPoint());
                return true;  // the list must not move its selection under the drag
            }
            if (!(mouse->buttons() & Qt::LeftButton) || m_drag.m_dragPressPos.x() < 0) return false;
            if ((mouse->position().toPoint() - m_drag.m_dragPressPos).manhattanLength() >=
                QApplication::startDragDistance())
                OnBeginDrag(m_drag.m_dragPressPos);
            // Below the drag distance too: the selection stays on the pressed row.
            return true;
        case QEvent::MouseButtonRelease:
            if (mouse->button() != Qt::LeftButton) return false;
            m_drag.m_dragPressPos = {-1, -1};
            if (!m_drag.m_bDragging) return false;
            OnLButtonUp(mouse->globalPosition().toPoint());
            return true;
        default:
            return false;
    }
}

void CQuoteDlg::OnBeginDrag(QPoint listPos) {
    m_drag.m_nDragIndex = m_pList->indexAt(listPos).row();
    if (m_drag.m_nDragIndex < 0) return;
    const QModelIndex first = m_pModel->index(m_drag.m_nDragIndex, 0);
    const QModelIndex last = m_pModel->index(m_drag.m_nDragIndex, ids::kColumnCount - 1);
    const QRect row = m_pList->visualRect(first).united(m_pList->visualRect(last));
    const QPixmap image = m_pList->viewport()->grab(row);
    if (image.isNull()) return;
    m_drag.m_pDragImage = new QPixmap(image);
    m_drag.m_bDragging = 1;
    m_drag.m_dragHotSpot = {listPos.x() - row.left(), 3};
    // The row's picture follows the pointer over the whole screen, never taking input.
    auto* window =
        new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                                Qt::WindowDoesNotAcceptFocus);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setPixmap(*m_drag.m_pDragImage);
    window->setWindowOpacity(0.7);
    window->resize(m_drag.m_pDragImage->size() / m_drag.m_pDragImage->devicePixelRatio());
    window->move(m_pList->viewport()->mapToGlobal(row.topLeft()));
    window->show();
    m_drag.m_pDragWindow = window;
}

void CQuoteDlg::OnMouseMove(QPoint globalPos) {
    if (!m_drag.m_bDragging) return;
    const QPoint client = mapFromGlobal(globalPos);
    // The window's lower edge, frame included, in client coordinates (the first row below it).
    const int windowBottom = frameGeometry().y() + frameGeometry().height() - geometry().y();
    QScrollBar* bar = m_pList->verticalScrollBar();
    switch (DragScrollFor(client.y(), windowBottom)) {
        case DragScroll::Up:
            bar->setValue(bar->value() - bar->singleStep());
            break;
        case DragScroll::Down:
            bar->setValue(bar->value() + bar->singleStep());
            break;
        case DragScroll::None:
            break;
    }
    if (m_drag.m_pDragWindow) m_drag.m_pDragWindow->move(globalPos - m_drag.m_dragHotSpot);
}

void CQuoteDlg::OnLButtonUp(QPoint globalPos) {
    if (!m_drag.m_bDragging) return;
    const QPoint drop = m_pList->viewport()->mapFromGlobal(globalPos);
    // Off the rows (outside the list, on its header, below the last row) is no row.
    const int hit = m_pList->viewport()->rect().contains(drop) ? m_pList->indexAt(drop).row() : -1;
    CancelDrag();
    const std::optional<int> target = DropTarget(m_drag.m_nDragIndex, hit);
    if (!target) return;
    m_pModel->Move(m_drag.m_nDragIndex, *target);
    SelectRow(*target);
}

void CQuoteDlg::CancelDrag() {
    m_drag.m_bDragging = 0;
    delete m_drag.m_pDragWindow;
    m_drag.m_pDragWindow = nullptr;
    delete m_drag.m_pDragImage;
    m_drag.m_pDragImage = nullptr;
}

}  // namespace tickora
