#pragma once
// Whether the quote pages still read. A pass that reads no row and no index means the site
// has stopped reading, its layout changed or its rules no longer fit; the rows keep their last
// figures, as after any failed read, so the window says since when. A row whose reads fail says
// so too. Everything here is told on the UI thread, in the order a pass shows its results.

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "quotes/refresh_view.h"

namespace tickora {

class ReadingWatch {
  public:
    using Time = std::chrono::system_clock::time_point;

    // A row of the pass was read, well (a page with a quote) or not (no quote, no page).
    void RowRead(const RowKey& key, bool ok, Time at);
    // An index of the pass showed a value.
    void IndexRead();
    // The pass is over; a pass that read nothing stops the reading from then on.
    void PassEnded(Time at);
    // Rows no longer listed are forgotten.
    void KeepOnly(const std::set<RowKey>& listed);

    // Since when no pass has read anything; nullopt while pages read.
    std::optional<Time> StoppedSince() const { return stoppedSince_; }
    // Since when the row's reads have failed; nullopt when its last read went well.
    std::optional<Time> FailingSince(const RowKey& key) const;

  private:
    bool passRead_ = false;
    std::optional<Time> stoppedSince_;
    std::map<RowKey, Time> failing_;
};

// "ページを読めません（10:32 から）", the local time of at (CP932).
std::string ReadingStoppedText(ReadingWatch::Time at);
// "読めません（10:32 から）": the shorter form, for a row and the tray's tip (CP932).
std::string ReadFailingText(ReadingWatch::Time at);

}  // namespace tickora
