#pragma once

#include <curl/curl.h>

#include <string>

namespace vorlix {

// The libcurl functions the downloads use, typed from curl's own declarations.
struct CurlLibrary {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_perform) easyPerform = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_url) url = nullptr;
    decltype(&curl_url_set) urlSet = nullptr;
    decltype(&curl_url_get) urlGet = nullptr;
    decltype(&curl_url_cleanup) urlCleanup = nullptr;
    decltype(&curl_free) free = nullptr;
    std::string failure;  // why the library is unusable; empty when it is usable

    bool Usable() const { return failure.empty(); }
};

#ifndef _WIN32
// Loads a libcurl by its file name and looks up every function; the library
// stays loaded.
CurlLibrary LoadCurlLibrary(const char* fileName);
#endif

// The library for the downloads, made ready (curl_global_init) at the first
// call, once; safe from any thread. Outside Windows that call loads
// libcurl.so.4, so a program that never downloads never loads it.
const CurlLibrary& Curl();

}  // namespace vorlix
