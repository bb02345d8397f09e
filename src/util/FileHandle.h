#pragma once

#include <unistd.h>

namespace vorlix {

// Owns a file descriptor and closes it when it goes.
class FileHandle {
  public:
    explicit FileHandle(int fd = -1) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace vorlix
