#include "util/DownloadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "util/CurlLibrary.h"
#include "util/Interrupts.h"
#include "util/SharedLibrary.h"

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

CurlLibrary MakeCurlReady() {
#ifdef _WIN32
    CurlLibrary curl{&curl_global_init,
                     &curl_easy_init,
                     &curl_easy_setopt,
                     &curl_easy_perform,
                     &curl_easy_cleanup,
                     &curl_url,
                     &curl_url_set,
                     &curl_url_get,
                     &curl_url_cleanup,
                     &curl_free,
                     {}};
#else
    CurlLibrary curl = LoadCurlLibrary("libcurl.so.4");
    if (!curl.Usable()) return curl;
#endif
    if (curl.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) curl.failure = "curl_global_init failed";
    return curl;
}

// The path a file:// address names, decoded as libcurl decodes it; nothing
// for an address of another scheme.
std::optional<std::string> LocalPath(const CurlLibrary& api, const std::string& address) {
    CURLU* url = api.url();
    if (!url) return std::nullopt;
    std::optional<std::string> path;
    char* scheme = nullptr;
    // Guessing as curl_easy_perform does, so both see the same address.
    if (api.urlSet(url, CURLUPART_URL, address.c_str(), CURLU_GUESS_SCHEME) == CURLUE_OK &&
        api.urlGet(url, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK && scheme &&
        std::string_view(scheme) == "file") {
        char* decoded = nullptr;
        if (api.urlGet(url, CURLUPART_PATH, &decoded, CURLU_URLDECODE) == CURLUE_OK && decoded) {
            path = decoded;
        } else {
            path = "";  // no path that could be read: refused below
        }
        api.free(decoded);
    }
    api.free(scheme);
    api.urlCleanup(url);
    return path;
}

bool StartsWithFileScheme(const std::string& address) {
    return address.size() >= 5 &&
           std::equal(address.begin(), address.begin() + 5,
                      "file:", [](char a, char b) { return std::tolower(a) == b; });
}

// A local source, held open while it is read. A FIFO or a device would keep
// the read waiting past every time-out (no time-out covers a local read), so
// only a regular file is taken; it is read through its descriptor, so it is
// the very file that was looked at.
class LocalSource {
  public:
    LocalSource(const CurlLibrary& api, const std::string& address) : address_(address) {
        const auto path = LocalPath(api, address);
        if (!path) {
            // An address curl cannot read as a URL but would read as a file anyway.
            usable_ = !StartsWithFileScheme(address);
            return;
        }
        descriptor_ = ::open(path->c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat info {};
        if (descriptor_ < 0 || ::fstat(descriptor_, &info) != 0 || !S_ISREG(info.st_mode)) return;
        usable_ = true;
        const std::string pinned = "/proc/self/fd/" + std::to_string(descriptor_);
        if (::access(pinned.c_str(), R_OK) == 0) address_ = "file://" + pinned;
    }
    ~LocalSource() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    LocalSource(const LocalSource&) = delete;
    LocalSource& operator=(const LocalSource&) = delete;

    bool Usable() const { return usable_; }
    const std::string& Address() const { return address_; }

  private:
    std::string address_;
    int descriptor_ = -1;
    bool usable_ = false;
};

}  // namespace

#ifndef _WIN32
CurlLibrary LoadCurlLibrary(const char* fileName) {
    CurlLibrary curl;
    void* library = LoadSharedLibrary(fileName, curl.failure);
    if (!library) return curl;
    FindFunction(library, "libcurl", "curl_global_init", curl.globalInit, curl.failure);
    FindFunction(library, "libcurl", "curl_easy_init", curl.easyInit, curl.failure);
    FindFunction(library, "libcurl", "curl_easy_setopt", curl.easySetopt, curl.failure);
    FindFunction(library, "libcurl", "curl_easy_perform", curl.easyPerform, curl.failure);
    FindFunction(library, "libcurl", "curl_easy_cleanup", curl.easyCleanup, curl.failure);
    FindFunction(library, "libcurl", "curl_url", curl.url, curl.failure);
    FindFunction(library, "libcurl", "curl_url_set", curl.urlSet, curl.failure);
    FindFunction(library, "libcurl", "curl_url_get", curl.urlGet, curl.failure);
    FindFunction(library, "libcurl", "curl_url_cleanup", curl.urlCleanup, curl.failure);
    FindFunction(library, "libcurl", "curl_free", curl.free, curl.failure);
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
    const LocalSource source(api, address);
    if (!source.Usable()) return false;

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
        api.easySetopt(curl, CURLOPT_URL, source.Address().c_str());
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
