#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace vorlix::test {

// Files whose size the system reports wrongly: 0 bytes for /proc, 4096 for
// /sys, whatever they hold. Only those this machine has.
inline std::vector<std::string> FilesWithWrongSizes() {
    std::vector<std::string> files;
    for (const char* path : {"/proc/version", "/proc/cmdline", "/sys/devices/system/cpu/online"}) {
        if (::access(path, R_OK) == 0) files.push_back(path);
    }
    return files;
}

// What reading a file to its end gives, as md5sum reads it.
inline std::string ReadToEnd(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count - 1;  // the iterator's own
}

// Lowers the soft limit of open files for as long as it lives.
class OpenFileLimit {
  public:
    explicit OpenFileLimit(rlim_t soft) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = soft;
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~OpenFileLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    OpenFileLimit(const OpenFileLimit&) = delete;
    OpenFileLimit& operator=(const OpenFileLimit&) = delete;

  private:
    rlimit saved_{};
};

// Takes every free descriptor, as another part of the program might, and
// gives them back after `hold`.
class DescriptorHog {
  public:
    explicit DescriptorHog(std::chrono::milliseconds hold) {
        // The thread starts before the descriptors are gone: UndefinedBehavior-
        // Sanitizer checks a new thread's state through a pipe of its own.
        std::promise<void> taken;
        release_ = std::thread([this, hold, all = taken.get_future()] {
            all.wait();
            std::this_thread::sleep_for(hold);
            for (int fd : held_) ::close(fd);
        });
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) held_.push_back(fd);
        taken.set_value();
    }
    ~DescriptorHog() { release_.join(); }
    DescriptorHog(const DescriptorHog&) = delete;
    DescriptorHog& operator=(const DescriptorHog&) = delete;

    std::size_t Held() const { return held_.size(); }

  private:
    std::vector<int> held_;
    std::thread release_;
};

}  // namespace vorlix::test
