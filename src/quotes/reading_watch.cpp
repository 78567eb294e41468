#include "quotes/reading_watch.h"

#include <ctime>

#include "common/codepage.h"

namespace tickora {

namespace {

std::string Since(ReadingWatch::Time at) {
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    localtime_r(&t, &local);
    char hhmm[8];
    std::strftime(hhmm, sizeof hhmm, "%H:%M", &local);
    return Sj("（") + hhmm + Sj(" から）");
}

}  // namespace

void ReadingWatch::RowRead(const RowKey& key, bool ok, Time at) {
    if (!ok) {
        failing_.try_emplace(key, at);
        return;
    }
    failing_.erase(key);
    passRead_ = true;
    stoppedSince_.reset();
}

void ReadingWatch::IndexRead() {
    passRead_ = true;
    stoppedSince_.reset();
}

void ReadingWatch::PassEnded(Time at) {
    if (!passRead_ && !stoppedSince_) stoppedSince_ = at;
    passRead_ = false;
}

void ReadingWatch::KeepOnly(const std::set<RowKey>& listed) {
    std::erase_if(failing_, [&](const auto& entry) { return listed.count(entry.first) == 0; });
}

std::optional<ReadingWatch::Time> ReadingWatch::FailingSince(const RowKey& key) const {
    const auto it = failing_.find(key);
    return it == failing_.end() ? std::nullopt : std::optional<Time>(it->second);
}

std::string ReadingStoppedText(ReadingWatch::Time at) {
    return Sj("ページを読めません") + Since(at);
}

std::string ReadFailingText(ReadingWatch::Time at) {
    return Sj("読めません") + Since(at);
}

}  // namespace tickora
