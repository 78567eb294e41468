#pragma once
#include <mutex>
#include <vector>

#include "quotes/refresh_view.h"

namespace tickora {

// The watch list's stocks and its number of result slots as the UI thread last published
// them, after every change, so that a worker reads a row without waiting for the UI thread.
class RowSnapshot {
  public:
    void Publish(std::vector<RowKey> keys, std::size_t slots);
    RowRead Read(int row) const;

  private:
    mutable std::mutex mutex_;
    std::vector<RowKey> keys_;
    std::size_t slots_ = 0;
};

}  // namespace tickora
