#pragma once
// Tab-separated lines, flushed at once so a reader sees them immediately. Each request
// gives one line when it arrives and one when it has been answered:
//   + \t METHOD \t TARGET                                    (arrived, before any delay)
//   METHOD \t TARGET \t USER-AGENT                          (an answer sent whole)
//   METHOD \t TARGET \t USER-AGENT \t BYTES \t complete|cut   (a streamed body, when it ends)

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace tickora::quotehost {

class RequestLog {
  public:
    RequestLog() = default;
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    // False when the file cannot be opened; without a file nothing is logged.
    bool Open(const std::string& path);

    void Arrived(std::string_view method, std::string_view target);
    void Answered(std::string_view method, std::string_view target, std::string_view agent);
    void Streamed(std::string_view method, std::string_view target, std::string_view agent,
                  long long bytesSent, bool completed);

  private:
    void Write(const std::string& line);

    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

}  // namespace tickora::quotehost
