#pragma once
// Every request the host sees, kept in memory and, when a file is open, as tab-separated
// lines flushed at once so a reader sees them immediately. Each request gives one line when it
// arrives and one when it has been answered:
//   + \t METHOD \t TARGET                                              (arrived, before any delay)
//   METHOD \t TARGET \t USER-AGENT \t ACCEPT-ENCODING \t CONTENT-ENCODING \t BYTES \t complete|cut
// An answer sent whole is logged as it goes out; a streamed body when it ends, with what of it
// went out.

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tickora::quotehost {

struct LoggedRequest {
    bool arrived = false;  // the request has arrived; answered when false
    std::string method, target, agent;
    std::string acceptEncoding;   // the request's header; empty without one
    std::string contentEncoding;  // of the answer; empty when sent as it is
    long long bytesSent = -1;     // body bytes on the wire, and whether all of them went out
    bool completed = true;
};

class RequestLog {
  public:
    RequestLog() = default;
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    // False when the file cannot be opened; without a file the log is kept in memory only.
    bool Open(const std::string& path);

    void Arrived(std::string_view method, std::string_view target);
    void Answered(LoggedRequest answer);

    // What has been logged so far, in order.
    std::vector<LoggedRequest> Entries() const;
    // Waits until at least n entries of the kind (arrived or answered) are logged; false
    // after timeoutMs.
    bool WaitForCount(bool arrived, std::size_t n, int timeoutMs) const;

  private:
    void Record(LoggedRequest entry);

    mutable std::mutex mutex_;
    mutable std::condition_variable recorded_;
    std::FILE* file_ = nullptr;
    std::vector<LoggedRequest> entries_;
};

}  // namespace tickora::quotehost
