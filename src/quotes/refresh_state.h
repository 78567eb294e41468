#pragma once
// The window's refresh cycle: whether it is connected, timer 0, the lock a pass holds, how
// many passes wait for it, and since when no pass has read anything.

#include <QTimer>
#include <atomic>
#include <mutex>

#include "quotes/reading_watch.h"

class QLabel;

namespace tickora {

struct RefreshState {
    int m_bConnected = 0;
    std::mutex m_csFetch;
    QTimer m_timerRefresh;                 // timer 0, a child of the window
    std::atomic<int> m_nPassesWaiting{0};  // started but not yet holding m_csFetch
    ReadingWatch m_watch;
    // Over the list's foot while no page reads: the rows below it keep old figures.
    QLabel* m_lblStopped = nullptr;
};

}  // namespace tickora
