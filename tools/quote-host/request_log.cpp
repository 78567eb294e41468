#include "request_log.h"

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
    Write("+\t" + Field(method) + '\t' + Field(target) + '\n');
}

void RequestLog::Answered(std::string_view method, std::string_view target,
                          std::string_view agent) {
    Write(Field(method) + '\t' + Field(target) + '\t' + Field(agent) + '\n');
}

void RequestLog::Streamed(std::string_view method, std::string_view target, std::string_view agent,
                          long long bytesSent, bool completed) {
    Write(Field(method) + '\t' + Field(target) + '\t' + Field(agent) + '\t' +
          std::to_string(bytesSent) + '\t' + (completed ? "complete" : "cut") + '\n');
}

void RequestLog::Write(const std::string& line) {
    std::lock_guard lock(mutex_);
    if (file_ == nullptr) return;
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

}  // namespace tickora::quotehost
