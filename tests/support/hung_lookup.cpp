#include "hung_lookup.h"

#include <dlfcn.h>
#include <netdb.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string_view>

namespace tickora::test {

namespace {
std::mutex g_mutex;
std::condition_variable g_changed;
bool g_released = false;
int g_started = 0;
}  // namespace

int HungLookups() {
    std::lock_guard lock(g_mutex);
    return g_started;
}

bool WaitForHungLookups(int n, int timeoutMs) {
    std::unique_lock lock(g_mutex);
    return g_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [n] { return g_started >= n; });
}

void ReleaseHungLookups() {
    {
        std::lock_guard lock(g_mutex);
        g_released = true;
    }
    g_changed.notify_all();
}

}  // namespace tickora::test

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    using namespace tickora::test;
    static const auto real =
        reinterpret_cast<int (*)(const char*, const char*, const addrinfo*, addrinfo**)>(
            dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node == nullptr || !std::string_view(node).ends_with(".hang.test"))
        return real(node, service, hints, result);
    std::unique_lock lock(g_mutex);
    ++g_started;
    g_changed.notify_all();
    g_changed.wait(lock, [] { return g_released; });
    return EAI_AGAIN;
}
