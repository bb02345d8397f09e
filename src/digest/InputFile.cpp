#include "digest/InputFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace vorlix {
namespace {

// Descriptors held by open InputFiles, all engines together. While some are
// held, an open that found none free will get one once a file ends.
std::atomic<std::size_t> heldFiles{0};

// Out of descriptors with none of ours held, the rest of the program holds
// them all; it gets this long to give one back before the file fails.
constexpr auto kOthersGrace = std::chrono::seconds(2);

std::size_t OpenDescriptorCount(std::size_t limit) {
    if (DIR* folder = ::opendir("/proc/self/fd")) {
        std::size_t count = 0;
        while (const dirent* entry = ::readdir(folder)) {
            if (entry->d_name[0] != '.') ++count;
        }
        ::closedir(folder);
        return count > 0 ? count - 1 : 0;  // the folder's own descriptor
    }
    // Without /proc, ask each descriptor in turn (as far as is sensible).
    std::size_t count = 0;
    const int last = static_cast<int>(std::min<std::size_t>(limit, 1 << 16));
    for (int fd = 0; fd < last; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1) ++count;
    }
    return count;
}

}  // namespace

InputFile::InputFile(InputFile&& other) noexcept
    : file_(std::move(other.file_)),
      regular_(other.regular_),
      size_(other.size_),
      modified_(other.modified_),
      read_(other.read_),
      ended_(other.ended_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = std::move(other.file_);
        regular_ = other.regular_;
        size_ = other.size_;
        modified_ = other.modified_;
        read_ = other.read_;
        ended_ = other.ended_;
    }
    return *this;
}

int InputFile::Open(const std::string& path, FileKind kind, DescriptorWait wait,
                    const std::atomic<bool>* cancel) {
    Close();
    auto pause = std::chrono::milliseconds(1);
    auto lastHope = std::chrono::steady_clock::now();
    for (;;) {
        // O_NONBLOCK keeps a FIFO without a writer from hanging the open.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd >= 0) {
            file_ = FileHandle(fd);
            heldFiles.fetch_add(1, std::memory_order_relaxed);
            break;
        }
        const int error = errno;
        if (!OutOfDescriptors(error) || wait == DescriptorWait::No) return error;
        const auto now = std::chrono::steady_clock::now();
        if (heldFiles.load(std::memory_order_relaxed) > 0) {
            lastHope = now;
        } else if (now - lastHope > kOthersGrace) {
            return error;
        }
        if (cancel && cancel->load(std::memory_order_relaxed)) return ECANCELED;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }

    // Only content that ends can be digested: a FIFO, a socket or a terminal
    // would block or never end.
    struct stat info {};
    if (::fstat(file_.get(), &info) != 0) {
        const int error = errno;
        Close();
        return error;
    }
    regular_ = S_ISREG(info.st_mode);
    if (!regular_ && !(kind == FileKind::RegularOrBlockDevice && S_ISBLK(info.st_mode))) {
        Close();
        return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    }
    // Nothing blocks for files and block devices; the flag may stay.
    size_ = info.st_size;
    modified_ = info.st_mtim;
    read_ = 0;
    ended_ = false;
    return 0;
}

ssize_t InputFile::Read(void* buffer, std::size_t length) {
    if (ended_) return 0;
    for (;;) {
        const ssize_t got = ::read(file_.get(), buffer, length);
        if (got < 0 && errno == EINTR) continue;
        if (got > 0) {
            read_ += static_cast<std::uint64_t>(got);
            ended_ = regular_ && size_ > 0 && static_cast<std::size_t>(got) < length &&
                     read_ == static_cast<std::uint64_t>(size_);
        }
        return got;
    }
}

void InputFile::AdviseSequentialRead() const {
    ::posix_fadvise(file_.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
}

bool InputFile::ChangedSinceOpen() const {
    if (!regular_) return false;
    struct stat info {};
    return ::fstat(file_.get(), &info) != 0 || info.st_size != size_ ||
           info.st_mtim.tv_sec != modified_.tv_sec || info.st_mtim.tv_nsec != modified_.tv_nsec;
}

void InputFile::Close() {
    if (!IsOpen()) return;
    file_.Close();
    heldFiles.fetch_sub(1, std::memory_order_relaxed);
}

std::size_t InputFileBudget() {
    rlimit limit{};
    std::size_t most = std::size_t{1} << 20;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        most = std::min<std::size_t>(most, limit.rlim_cur);
    }
    const std::size_t open = OpenDescriptorCount(most);
    const std::size_t free = most > open ? most - open : 0;
    const std::size_t room = std::min<std::size_t>(16, free / 2);
    return std::max<std::size_t>(1, free - room);
}

}  // namespace vorlix
