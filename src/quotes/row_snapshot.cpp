#include "quotes/row_snapshot.h"

namespace tickora {

void RowSnapshot::Publish(std::vector<RowKey> keys, std::size_t slots) {
    std::lock_guard lock(mutex_);
    keys_.swap(keys);
    slots_ = slots;
}

RowRead RowSnapshot::Read(int row) const {
    std::lock_guard lock(mutex_);
    RowRead read;
    read.exists = row >= 0 && row < static_cast<int>(keys_.size());
    if (!read.exists) return read;
    read.key = keys_[static_cast<std::size_t>(row)];
    read.hasSlot = static_cast<std::size_t>(row) < slots_;
    return read;
}

}  // namespace tickora
