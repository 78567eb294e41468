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
    LoggedRequest e;
    e.arrived = true;
    e.method = Field(method);
    e.target = Field(target);
    Record(std::move(e));
}

void RequestLog::Answered(LoggedRequest e) {
    e.arrived = false;
    for (std::string* s : {&e.method, &e.target, &e.agent, &e.acceptEncoding, &e.contentEncoding})
        *s = Field(*s);
    Record(std::move(e));
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
    std::string line;
    if (e.arrived) {
        line = "+\t" + e.method + '\t' + e.target;
    } else {
        for (const std::string* field :
             {&e.method, &e.target, &e.agent, &e.acceptEncoding, &e.contentEncoding})
            line += *field + '\t';
        line += std::to_string(e.bytesSent) + (e.completed ? "\tcomplete" : "\tcut");
    }
    line += '\n';
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(e));
    recorded_.notify_all();
    if (file_ == nullptr) return;
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

}  // namespace tickora::quotehost
