#include "request_log.h"

#include <chrono>

namespace tickora::quotehost {

namespace {

// A tab or line break inside a field would break the line format.
std::string Field(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return out;
}

}  // namespace

RequestLog::~RequestLog() {
    if (file_ != nullptr) std::fclose(file_);
}

bool RequestLog::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "a");
    return file_ != nullptr;
}

void RequestLog::Arrived(std::string_view method, std::string_view target) {
    Record({true, Field(method), Field(target), "", -1, true});
}

void RequestLog::Answered(std::string_view method, std::string_view target,
                          std::string_view agent) {
    Record({false, Field(method), Field(target), Field(agent), -1, true});
}

void RequestLog::Streamed(std::string_view method, std::string_view target, std::string_view agent,
                          long long bytesSent, bool completed) {
    Record({false, Field(method), Field(target), Field(agent), bytesSent, completed});
}

std::vector<LoggedRequest> RequestLog::Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

bool RequestLog::WaitForCount(bool arrived, std::size_t n, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return recorded_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        std::size_t count = 0;
        for (const LoggedRequest& e : entries_) count += e.arrived == arrived;
        return count >= n;
    });
}

void RequestLog::Record(LoggedRequest e) {
    std::string line = e.arrived ? "+\t" + e.method + '\t' + e.target
                                 : e.method + '\t' + e.target + '\t' + e.agent;
    if (e.bytesSent >= 0)
        line += '\t' + std::to_string(e.bytesSent) + '\t' + (e.completed ? "complete" : "cut");
    line += '\n';
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(e));
    recorded_.notify_all();
    if (file_ == nullptr) return;
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

}  // namespace tickora::quotehost
