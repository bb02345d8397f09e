#include "util/DownloadFile.h"

#include <curl/curl.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

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

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

bool DownloadFile(const std::string& address, const std::string& localPath,
                  const DownloadLimits& limits) {
    namespace fs = std::filesystem;
    InitCurlOnce();
    if (address.empty() || localPath.empty()) return false;

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

    CURL* curl = curl_easy_init();
    CURLcode result = CURLE_FAILED_INIT;
    if (curl) {
        curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https,http,file");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https,http");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(limits.maxRedirects));
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(limits.connectTimeout.count()));
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count()));
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(limits.maxBytes));
        curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_USERAGENT, "Vorlix");
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Write);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
        result = curl_easy_perform(curl);
        curl_easy_cleanup(curl);
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
