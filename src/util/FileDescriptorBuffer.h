#pragma once

#include <array>
#include <streambuf>

namespace vorlix {

// An output stream's buffer over a file descriptor that keeps why its first
// write failed. Standard output through the C library forgets the reason
// (and the bytes) once a write fails, and the exit status has to tell it.
class FileDescriptorBuffer : public std::streambuf {
  public:
    explicit FileDescriptorBuffer(int fd);
    ~FileDescriptorBuffer() override;
    FileDescriptorBuffer(const FileDescriptorBuffer&) = delete;
    FileDescriptorBuffer& operator=(const FileDescriptorBuffer&) = delete;

    // errno of the first write that failed, or 0.
    int Error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    int sync() override;

  private:
    bool WriteOut(const char* data, std::size_t length);
    bool Drain();

    int fd_;
    int error_ = 0;
    std::array<char, 8192> buffer_{};
};

}  // namespace vorlix
