#include "digest/FileDigest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "app/Dialogs.h"
#include "app/EndProgram.h"
#include "digest/Md5.h"

namespace vorlix {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

class FileHandle {
  public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

FileDigestResult ComputeFileDigest(const std::string& path, const DigestProgress& progress,
                                   const std::atomic<bool>* cancel) {
    FileDigestResult result;
    // Read-only on purpose: digesting must never create or touch a file.
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        result.errorNumber = errno;
        return result;
    }
    struct stat info {};
    std::uint64_t total = 0;
    if (::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode)) {
        total = static_cast<std::uint64_t>(info.st_size);
    }
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    Md5State state;
    DigestInit(state);
    std::vector<char> buffer(kBufferSize);
    std::uint64_t done = 0;
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            result.status = FileDigestResult::Status::Cancelled;
            result.size = done;
            return result;
        }
        const ssize_t got = ::read(file.get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            result.errorNumber = errno;
            result.size = done;
            return result;
        }
        if (got == 0) break;
        DigestUpdate(state, buffer.data(), static_cast<std::size_t>(got));
        done += static_cast<std::uint64_t>(got);
        if (progress) progress(done, total);
    }
    DigestFinal(state);
    result.status = FileDigestResult::Status::Ok;
    result.digest = DigestHexText(state);
    result.size = done;
    return result;
}

void ShowFileReadError(Dialogs& dialogs, const std::string& path) {
    // Fixed English texts: this message must work even without a language pack.
    dialogs.MessageBox("Error Reading File " + path, "Error Read File", MessageIcon::Stop,
                       MessageButtons::Ok);
}

std::string ReadFileDigest(Dialogs& dialogs, const std::string& path, int& flag) {
    FileDigestResult result = ComputeFileDigest(path);
    if (result.status != FileDigestResult::Status::Ok) {
        ShowFileReadError(dialogs, path);
        flag = -1;
        return {};
    }
    flag = 0;
    return std::move(result.digest);
}

std::string FileDigestText(Dialogs& dialogs, const std::string& path) {
    int flag = 0;
    std::string digest = ReadFileDigest(dialogs, path, flag);
    if (flag != 0) EndProgram(kExitFatal);
    return digest;
}

}  // namespace vorlix
