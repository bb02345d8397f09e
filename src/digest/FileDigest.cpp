#include "digest/FileDigest.h"

#include <array>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "digest/InputFile.h"
#include "digest/Md5.h"

namespace vorlix {
namespace {

// Reads the file on a thread of its own into a small ring of buffers, so the
// next buffer is read while the current one is hashed. Memory stays at the
// ring's size whatever the file's.
class RingReader {
  public:
    static constexpr std::size_t kSlotCount = 4;
    static constexpr std::size_t kSlotSize = std::size_t{1} << 20;

    struct Chunk {
        const char* data = nullptr;
        std::size_t length = 0;  // 0: the end of the file, or a read error
    };

    explicit RingReader(InputFile& file) : file_(file) {
        for (auto& slot : slots_) slot.data.reset(new char[kSlotSize]);
        thread_ = std::thread([this] { Run(); });
    }

    ~RingReader() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    RingReader(const RingReader&) = delete;
    RingReader& operator=(const RingReader&) = delete;

    // The next filled buffer; it stays valid until Release.
    Chunk Next() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return filled_ > 0 || finished_; });
        if (filled_ == 0) return {};
        const Slot& slot = slots_[head_];
        return {slot.data.get(), slot.length};
    }

    void Release() {
        {
            std::lock_guard lock(mutex_);
            head_ = (head_ + 1) % kSlotCount;
            --filled_;
        }
        changed_.notify_all();
    }

    // After Next gave the end: errno of the failed read, or 0.
    int Error() const {
        std::lock_guard lock(mutex_);
        return error_;
    }

  private:
    struct Slot {
        std::unique_ptr<char[]> data;
        std::size_t length = 0;
    };

    void Run() {
        std::size_t tail = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return filled_ < kSlotCount || stop_; });
                if (stop_) return;
            }
            // The slot at tail is ours alone until it is counted as filled.
            Slot& slot = slots_[tail];
            int error = 0;
            slot.length = Fill(slot.data.get(), error);
            const bool last = slot.length < kSlotSize || error != 0;
            {
                std::lock_guard lock(mutex_);
                if (slot.length > 0) {
                    ++filled_;
                    tail = (tail + 1) % kSlotCount;
                }
                if (last) {
                    error_ = error;
                    finished_ = true;
                }
            }
            changed_.notify_all();
            if (last) return;
        }
    }

    // A full buffer, unless the file ends or a read fails first.
    std::size_t Fill(char* buffer, int& error) {
        std::size_t length = 0;
        while (length < kSlotSize) {
            const ssize_t got = file_.Read(buffer + length, kSlotSize - length);
            if (got < 0) {
                error = errno;
                break;
            }
            if (got == 0) break;
            length += static_cast<std::size_t>(got);
        }
        return length;
    }

    InputFile& file_;
    std::array<Slot, kSlotCount> slots_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t head_ = 0;
    std::size_t filled_ = 0;
    bool finished_ = false;
    bool stop_ = false;
    int error_ = 0;
    std::thread thread_;
};

// Files up to this size are read on the caller's thread: for them a reader
// thread and its ring cost more than the reading (the language packs at
// every start, most files of a list).
constexpr std::uint64_t kDirectReadLimit = std::uint64_t{1} << 20;
constexpr std::size_t kDirectChunk = std::size_t{64} << 10;

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

// Reads through the ring; false when the digest must stop (cancel or error).
bool DigestThroughRing(InputFile& file, Md5State& state, FileDigestResult& result,
                       std::uint64_t total, const DigestProgress& progress,
                       const std::atomic<bool>* cancel) {
    file.AdviseSequentialRead();
    RingReader reader(file);
    for (;;) {
        if (Cancelled(cancel)) {
            result.status = FileDigestResult::Status::Cancelled;
            return false;
        }
        const RingReader::Chunk chunk = reader.Next();
        if (chunk.length == 0) break;
        DigestUpdate(state, chunk.data, chunk.length);
        reader.Release();
        result.size += chunk.length;
        if (progress) progress(result.size, total);
    }
    result.errorNumber = reader.Error();
    return result.errorNumber == 0;
}

// The same, on this thread, for a small file.
bool DigestDirectly(InputFile& file, Md5State& state, FileDigestResult& result, std::uint64_t total,
                    const DigestProgress& progress, const std::atomic<bool>* cancel) {
    const std::unique_ptr<char[]> buffer(new char[kDirectChunk]);
    for (;;) {
        if (Cancelled(cancel)) {
            result.status = FileDigestResult::Status::Cancelled;
            return false;
        }
        const ssize_t got = file.Read(buffer.get(), kDirectChunk);
        if (got < 0) {
            result.errorNumber = errno;
            return false;
        }
        if (got == 0) return true;
        DigestUpdate(state, buffer.get(), static_cast<std::size_t>(got));
        result.size += static_cast<std::uint64_t>(got);
        if (progress) progress(result.size, total);
    }
}

FileDigestResult DigestOpenFile(InputFile& file, const DigestProgress& progress,
                                const std::atomic<bool>* cancel) {
    FileDigestResult result;
    // For progress only: reading goes on to the end, whatever the size said.
    const std::uint64_t total = file.Regular() ? file.ReportedSize() : 0;

    Md5State state;
    DigestInit(state);
    const bool small = file.Regular() && total <= kDirectReadLimit;
    const bool read = small ? DigestDirectly(file, state, result, total, progress, cancel)
                            : DigestThroughRing(file, state, result, total, progress, cancel);
    if (!read) return result;
    // A file written to while it is read gives a digest of no version of it.
    if (file.ChangedSinceOpen()) {
        result.changedWhileRead = true;
        return result;
    }
    DigestFinal(state);
    result.status = FileDigestResult::Status::Ok;
    result.digest = DigestHexText(state);
    return result;
}

}  // namespace

FileDigestResult ComputeFileDigest(const std::string& path, const DigestProgress& progress,
                                   const std::atomic<bool>* cancel, FileKind kind) {
    InputFile file;
    if (const int error = file.Open(path, kind, DescriptorWait::Yes, cancel)) {
        FileDigestResult result;
        if (error == ECANCELED) {
            result.status = FileDigestResult::Status::Cancelled;
        } else {
            result.errorNumber = error;
        }
        return result;
    }
    try {
        return DigestOpenFile(file, progress, cancel);
    } catch (const std::system_error& error) {
        // No thread could be started.
        FileDigestResult result;
        result.errorNumber = error.code().value();
        return result;
    } catch (const std::bad_alloc&) {
        FileDigestResult result;
        result.errorNumber = ENOMEM;
        return result;
    }
}

}  // namespace vorlix
