#include "quotes/curl_api.h"

#include <dlfcn.h>

namespace tickora {

std::optional<CurlApi> OpenCurl(const char* soname, std::string& why) {
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = dlerror();
        why = "libcurl could not be loaded: " + std::string(error ? error : soname);
        return std::nullopt;
    }
    // The first function libcurl lacks, if any.
    const auto need = [&](const char* name, auto& function) {
        if (!why.empty()) return;
        function =
            reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
        if (function == nullptr) why = std::string("libcurl lacks ") + name;
    };
    why.clear();
    CurlApi a{};
    need("curl_global_init", a.global_init);
    need("curl_easy_init", a.easy_init);
    need("curl_easy_setopt", a.easy_setopt);
    need("curl_easy_getinfo", a.easy_getinfo);
    need("curl_easy_cleanup", a.easy_cleanup);
    need("curl_easy_strerror", a.easy_strerror);
    need("curl_multi_init", a.multi_init);
    need("curl_multi_setopt", a.multi_setopt);
    need("curl_multi_add_handle", a.multi_add_handle);
    need("curl_multi_remove_handle", a.multi_remove_handle);
    need("curl_multi_perform", a.multi_perform);
    need("curl_multi_poll", a.multi_poll);
    need("curl_multi_info_read", a.multi_info_read);
    need("curl_multi_cleanup", a.multi_cleanup);
    need("curl_share_init", a.share_init);
    need("curl_share_setopt", a.share_setopt);
    need("curl_share_cleanup", a.share_cleanup);
    need("curl_slist_append", a.slist_append);
    need("curl_slist_free_all", a.slist_free_all);
    need("curl_url", a.url);
    need("curl_url_set", a.url_set);
    need("curl_url_get", a.url_get);
    need("curl_url_cleanup", a.url_cleanup);
    need("curl_free", a.free);
    need("curl_strnequal", a.strnequal);
    if (!why.empty()) return std::nullopt;
    return a;
}

namespace {

struct LoadedCurl {
    std::optional<CurlApi> api;
    std::string failure;
};

LoadedCurl Load() {
    LoadedCurl loaded;
    loaded.api = OpenCurl("libcurl.so.4", loaded.failure);
    if (loaded.api && loaded.api->global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        loaded.api.reset();
        loaded.failure = "libcurl could not be set up";
    }
    return loaded;
}

}  // namespace

const CurlApi* LoadCurl(std::string* why) {
    // Loaded once: the library stays for the life of the process.
    static const LoadedCurl loaded = Load();
    if (loaded.api) return &*loaded.api;
    if (why != nullptr) *why = loaded.failure;
    return nullptr;
}

}  // namespace tickora
