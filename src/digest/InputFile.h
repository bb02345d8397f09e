#pragma once

#include <sys/types.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "util/FileHandle.h"

namespace vorlix {

// What may be digested. A name the user chose may be a disk; a name that
// came from a file must not make us read one.
enum class FileKind { RegularOrBlockDevice, RegularOnly };

// Whether an open waits while the process is out of file descriptors.
enum class DescriptorWait { No, Yes };

// A file opened for digesting, the same way for every engine that digests.
class InputFile {
  public:
    InputFile() = default;
    ~InputFile() { Close(); }
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens `path` read-only, so digesting never creates or changes a file,
    // and without waiting for a FIFO's writer. Only content that ends is
    // taken: a regular file, and a block device where `kind` allows. Returns
    // 0 or the errno of the failure. Out of descriptors, DescriptorWait::Yes
    // waits until one is free (the engines close theirs as files end) or
    // `cancel` is set (ECANCELED) rather than failing the file.
    int Open(const std::string& path, FileKind kind, DescriptorWait wait,
             const std::atomic<bool>* cancel = nullptr);

    bool IsOpen() const { return file_.get() >= 0; }
    int fd() const { return file_.get(); }
    bool Regular() const { return regular_; }
    // What the system reported at the open, for progress and read-ahead
    // only: files of /proc report 0 bytes, those of /sys 4096, whatever
    // they hold. Reading goes on to the end of the file.
    std::uint64_t ReportedSize() const { return static_cast<std::uint64_t>(size_); }

    // The next bytes: how many were read, 0 at the end of the file, -1 with
    // errno after a failure. A signal is no failure. Reading goes on until
    // a read gives nothing, except after a read that stopped short exactly
    // at the reported size: that is the end of a file whose reads go by its
    // size (every file in the page cache), and saves a read per file. A file
    // with a wrong size does not stop there.
    ssize_t Read(void* buffer, std::size_t length);

    // Asks the system for read-ahead: the file will be read from start to end.
    void AdviseSequentialRead() const;

    // A regular file whose size or modification time moved since the open:
    // the bytes read belong to no one version of it.
    bool ChangedSinceOpen() const;

    void Close();

  private:
    FileHandle file_;
    bool regular_ = false;
    off_t size_ = 0;
    timespec modified_{};
    std::uint64_t read_ = 0;
    bool ended_ = false;
};

inline bool OutOfDescriptors(int error) { return error == EMFILE || error == ENFILE; }

// How many files the engines may hold open at once: what the process's
// limit leaves beside the descriptors open now, less some room for the rest
// of the program (the list being read, a save, a window). At least 1.
std::size_t InputFileBudget();

}  // namespace vorlix
