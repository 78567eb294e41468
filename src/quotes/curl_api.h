#pragma once
// libcurl's functions as this program calls them. libcurl and the two dozen libraries it
// needs (TLS, compression, name lookup) are loaded by the first fetch, on the thread that
// makes it, and not before the window can first paint.

#include <curl/curl.h>

#include <optional>
#include <string>

namespace tickora {

struct CurlApi {
    decltype(&curl_global_init) global_init;
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_getinfo) easy_getinfo;
    decltype(&curl_easy_cleanup) easy_cleanup;
    decltype(&curl_easy_strerror) easy_strerror;
    decltype(&curl_multi_init) multi_init;
    decltype(&curl_multi_setopt) multi_setopt;
    decltype(&curl_multi_add_handle) multi_add_handle;
    decltype(&curl_multi_remove_handle) multi_remove_handle;
    decltype(&curl_multi_perform) multi_perform;
    decltype(&curl_multi_poll) multi_poll;
    decltype(&curl_multi_info_read) multi_info_read;
    decltype(&curl_multi_cleanup) multi_cleanup;
    decltype(&curl_share_init) share_init;
    decltype(&curl_share_setopt) share_setopt;
    decltype(&curl_share_cleanup) share_cleanup;
    decltype(&curl_slist_append) slist_append;
    decltype(&curl_slist_free_all) slist_free_all;
    decltype(&curl_url) url;
    decltype(&curl_url_set) url_set;
    decltype(&curl_url_get) url_get;
    decltype(&curl_url_cleanup) url_cleanup;
    decltype(&curl_free) free;
    decltype(&curl_strnequal) strnequal;
};

// The functions of the libcurl of that soname, loaded now and kept loaded; nothing when the
// library or one of the functions is missing, and then why says which.
std::optional<CurlApi> OpenCurl(const char* soname, std::string& why);

// libcurl, loaded and set up by the first call, from any thread; nullptr when it cannot be
// loaded, and then every call says why in *why.
const CurlApi* LoadCurl(std::string* why = nullptr);

}  // namespace tickora
