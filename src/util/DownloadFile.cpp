#include "util/DownloadFile.h"

#include <unistd.h>
#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "util/CurlLibrary.h"
#include "util/Interrupts.h"

namespace vorlix {
namespace {

struct Sink {
    std::FILE* file = nullptr;
    std::uint64_t written = 0;
    std::uint64_t maxBytes = 0;
};

std::size_t Write(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t bytes = size * count;
    if (sink->written + bytes > sink->maxBytes) return 0;  // ends the transfer as an error
    if (std::fwrite(data, 1, bytes, sink->file) != bytes) return 0;
    sink->written += bytes;
    return bytes;
}

#ifndef _WIN32
// The address of one function, or a note of the one missing.
template <typename Function>
void Find(void* library, const char* name, Function& function, std::string& failure) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    if (!function && failure.empty()) failure = std::string("no ") + name + " in libcurl";
}
#endif

CurlLibrary MakeCurlReady() {
#ifdef _WIN32
    CurlLibrary curl{&curl_global_init,  &curl_easy_init,    &curl_easy_setopt,
                     &curl_easy_perform, &curl_easy_cleanup, {}};
#else
    CurlLibrary curl = LoadCurlLibrary("libcurl.so.4");
    if (!curl.Usable()) return curl;
#endif
    if (curl.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) curl.failure = "curl_global_init failed";
    return curl;
}

}  // namespace

#ifndef _WIN32
CurlLibrary LoadCurlLibrary(const char* fileName) {
    CurlLibrary curl;
    // RTLD_LOCAL: its symbols stay out of the way of everything loaded later.
    void* library = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = ::dlerror();
        curl.failure = reason ? reason : std::string(fileName) + " cannot be loaded";
        return curl;
    }
    Find(library, "curl_global_init", curl.globalInit, curl.failure);
    Find(library, "curl_easy_init", curl.easyInit, curl.failure);
    Find(library, "curl_easy_setopt", curl.easySetopt, curl.failure);
    Find(library, "curl_easy_perform", curl.easyPerform, curl.failure);
    Find(library, "curl_easy_cleanup", curl.easyCleanup, curl.failure);
    return curl;
}
#endif

const CurlLibrary& Curl() {
    // A function-local static: initialised once, even when threads race here.
    static const CurlLibrary curl = MakeCurlReady();
    return curl;
}

bool DownloadFile(const std::string& address, const std::string& localPath,
                  const DownloadLimits& limits) {
    namespace fs = std::filesystem;
    const CurlLibrary& api = Curl();
    // Without libcurl a download fails like any other; the reason stays in Curl().
    if (!api.Usable() || address.empty() || localPath.empty()) return false;

    // The body goes to a temporary file beside the target and takes its name
    // only when complete, so a failure never leaves a partial file.
    std::string temporary = localPath + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return false;
    const TemporaryFileCleanup cleanup(temporary);
    Sink sink{fdopen(descriptor, "wb"), 0, limits.maxBytes};
    if (!sink.file) {
        close(descriptor);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }

    CURL* curl = api.easyInit();
    CURLcode result = CURLE_FAILED_INIT;
    if (curl) {
        api.easySetopt(curl, CURLOPT_URL, address.c_str());
        api.easySetopt(curl, CURLOPT_PROTOCOLS_STR, "https,http,file");
        api.easySetopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https,http");
        api.easySetopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        api.easySetopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(limits.maxRedirects));
        api.easySetopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                       static_cast<long>(limits.connectTimeout.count()));
        api.easySetopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count()));
        api.easySetopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
        api.easySetopt(curl, CURLOPT_FAILONERROR, 1L);
        api.easySetopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        api.easySetopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        api.easySetopt(curl, CURLOPT_NOSIGNAL, 1L);
        api.easySetopt(curl, CURLOPT_USERAGENT, "Vorlix");
        api.easySetopt(curl, CURLOPT_WRITEFUNCTION, &Write);
        api.easySetopt(curl, CURLOPT_WRITEDATA, &sink);
        result = api.easyPerform(curl);
        api.easyCleanup(curl);
    }

    const bool written = std::fflush(sink.file) == 0 && fsync(fileno(sink.file)) == 0;
    const bool closed = std::fclose(sink.file) == 0;
    std::error_code error;
    if (result == CURLE_OK && written && closed) {
        fs::rename(temporary, localPath, error);
        if (!error) return true;
    }
    fs::remove(temporary, error);
    return false;
}

}  // namespace vorlix
