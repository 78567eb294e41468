#include "raw_get.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "common/sjis.h"
#include "quotes/fetch.h"

namespace tickora::bench {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// The Content-Length of a header block; -1 without one.
long ContentLength(std::string_view head) {
    for (std::size_t at = head.find("\r\n"); at != std::string_view::npos;
         at = head.find("\r\n", at + 2)) {
        const std::string_view line = head.substr(at + 2, head.find("\r\n", at + 2) - at - 2);
        if (line.size() > 15 && strncasecmp(line.data(), "Content-Length:", 15) == 0)
            return std::strtol(std::string(line.substr(15)).c_str(), nullptr, 10);
    }
    return -1;
}

}  // namespace

long RawGet(int port, std::string_view request) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    const sockaddr_in to = Loopback(port);
    long body = -1;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
        send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
        char buffer[16384];
        std::string head;
        long length = -1, got = 0;
        bool inBody = false;
        for (;;) {
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            if (inBody) {
                got += n;
            } else {
                head.append(buffer, static_cast<std::size_t>(n));
                const std::size_t end = head.find("\r\n\r\n");
                if (end == std::string::npos) continue;
                inBody = true;
                length = ContentLength(std::string_view(head).substr(0, end + 2));
                got = static_cast<long>(head.size() - end - 4);
            }
            if (length >= 0 && got >= length) break;
        }
        if (inBody) body = got;
    }
    close(fd);
    return body;
}

std::string FetchRequestBytes(int port, const std::string& pathAndQuery) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at = Loopback(0);
    socklen_t n = sizeof at;
    if (bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
        listen(listener, 1) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&at), &n)) {
        close(listener);
        return {};
    }
    const std::string caught = "127.0.0.1:" + std::to_string(ntohs(at.sin_port));
    std::thread fetch([&] {
        FetchOptions options;
        options.connectTimeoutMs = 5000;
        options.totalSeconds = 5;
        FetchQuote("http://" + caught + pathAndQuery, {}, options);
    });
    std::string request;
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, 5000) == 1) {
        const int fd = accept(listener, nullptr, nullptr);
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd q{fd, POLLIN, 0};
            if (poll(&q, 1, 5000) != 1) break;
            const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        const char answer[] = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
        send(fd, answer, sizeof answer - 1, MSG_NOSIGNAL);
        close(fd);
    }
    fetch.join();
    close(listener);
    // The same request, addressed to the real host.
    return ReplaceAll(request, caught, "127.0.0.1:" + std::to_string(port));
}

int PortOf(std::string_view url) {
    const std::size_t colon = url.find(':', url.find("//") + 2);
    return colon == std::string_view::npos ? -1
                                           : std::atoi(std::string(url.substr(colon + 1)).c_str());
}

}  // namespace tickora::bench
