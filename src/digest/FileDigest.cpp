#include "digest/FileDigest.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "digest/Hasher.h"
#include "digest/InputFile.h"

namespace vorlix {
namespace {

// Reads the file on a thread of its own into a small ring of buffers, so the
// next buffer is read while the current one is hashed. Several consumers may
// hash each buffer (one per digest), each on its thread; a buffer is refilled
// once every one of them is done with it. Memory stays at the ring's size
// whatever the file's.
class RingReader {
  public:
    static constexpr std::size_t kSlotCount = 4;
    static constexpr std::size_t kSlotSize = std::size_t{1} << 20;

    struct Chunk {
        const char* data = nullptr;
        std::size_t length = 0;  // 0: the end of the file, a read error, or Stop
    };

    RingReader(InputFile& file, std::size_t consumers) : file_(file), taken_(consumers, 0) {
        for (auto& slot : slots_) slot.data.reset(new char[kSlotSize]);
        thread_ = std::thread([this] { Run(); });
    }

    ~RingReader() {
        Stop();
        thread_.join();
    }

    RingReader(const RingReader&) = delete;
    RingReader& operator=(const RingReader&) = delete;

    // Every consumer and the reader leave at their next look.
    void Stop() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
    }

    // The consumer's next filled buffer; it stays valid until its Release.
    Chunk Next(std::size_t consumer) {
        std::unique_lock lock(mutex_);
        const std::uint64_t wanted = taken_[consumer];
        changed_.wait(lock, [&] { return produced_ > wanted || finished_ || stop_; });
        if (stop_ || produced_ == wanted) return {};
        const Slot& slot = slots_[wanted % kSlotCount];
        return {slot.data.get(), slot.length};
    }

    void Release(std::size_t consumer) {
        {
            std::lock_guard lock(mutex_);
            ++taken_[consumer];
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

    // Filled buffers that some consumer still has to hash.
    std::uint64_t InUse() const {
        std::uint64_t slowest = produced_;
        for (std::uint64_t taken : taken_) slowest = std::min(slowest, taken);
        return produced_ - slowest;
    }

    void Run() {
        for (;;) {
            std::uint64_t next = 0;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return InUse() < kSlotCount || stop_; });
                if (stop_) return;
                next = produced_;
            }
            // The slot is ours alone until it is counted as produced.
            Slot& slot = slots_[next % kSlotCount];
            int error = 0;
            slot.length = Fill(slot.data.get(), error);
            const bool last = slot.length < kSlotSize || error != 0;
            {
                std::lock_guard lock(mutex_);
                if (slot.length > 0) ++produced_;
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
    std::uint64_t produced_ = 0;        // buffers filled so far
    std::vector<std::uint64_t> taken_;  // buffers each consumer is done with
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

// How the algorithms are shared out among the threads that hash a big
// file: the first (MD5 when it is asked) on the caller's thread, every other
// one on a thread of its own while there are cores for them.
std::vector<DigestSet> ShareOut(DigestSet algorithms) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    if (cores == 1) return {algorithms};
    std::vector<DigestSet> groups;
    std::size_t extra = 0;
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        if (!algorithms.Has(algorithm)) continue;
        if (groups.size() < cores) {
            groups.emplace_back(algorithm);
        } else {
            // More digests than cores: the rest join the helpers in turn.
            groups[1 + extra++ % (cores - 1)].Add(algorithm);
        }
    }
    return groups;
}

// Reads through the ring; false when the digest must stop (cancel or error).
bool DigestThroughRing(InputFile& file, std::vector<Hasher>& hashers, FileDigestResult& result,
                       std::uint64_t total, const DigestProgress& progress,
                       const std::atomic<bool>* cancel) {
    file.AdviseSequentialRead();
    RingReader reader(file, hashers.size());
    std::vector<std::thread> helpers;
    const auto finishHelpers = [&] {
        for (std::thread& helper : helpers) helper.join();
    };
    try {
        for (std::size_t c = 1; c < hashers.size(); ++c) {
            helpers.emplace_back([&reader, &hasher = hashers[c], c] {
                for (RingReader::Chunk chunk; (chunk = reader.Next(c)).length > 0;) {
                    hasher.Update(chunk.data, chunk.length);
                    reader.Release(c);
                }
            });
        }
    } catch (...) {
        reader.Stop();
        finishHelpers();
        throw;
    }
    bool read = true;
    for (;;) {
        if (Cancelled(cancel)) {
            result.status = FileDigestResult::Status::Cancelled;
            read = false;
            break;
        }
        const RingReader::Chunk chunk = reader.Next(0);
        if (chunk.length == 0) break;
        hashers[0].Update(chunk.data, chunk.length);
        reader.Release(0);
        result.size += chunk.length;
        if (progress) progress(result.size, total);
    }
    if (!read) reader.Stop();
    finishHelpers();
    if (!read) return false;
    result.errorNumber = reader.Error();
    return result.errorNumber == 0;
}

// The same, on this thread, for a small file.
bool DigestDirectly(InputFile& file, Hasher& hasher, FileDigestResult& result, std::uint64_t total,
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
        hasher.Update(buffer.get(), static_cast<std::size_t>(got));
        result.size += static_cast<std::uint64_t>(got);
        if (progress) progress(result.size, total);
    }
}

FileDigestResult DigestOpenFile(InputFile& file, DigestSet algorithms,
                                const DigestProgress& progress, const std::atomic<bool>* cancel) {
    FileDigestResult result;
    // For progress only: reading goes on to the end, whatever the size said.
    const std::uint64_t total = file.Regular() ? file.ReportedSize() : 0;

    const bool small = file.Regular() && total <= kDirectReadLimit;
    std::vector<Hasher> hashers;
    for (DigestSet group : small ? std::vector<DigestSet>{algorithms} : ShareOut(algorithms)) {
        hashers.emplace_back(group);
        if (!hashers.back().Ready()) {
            result.errorNumber = kNoDigestLibrary;
            return result;
        }
    }
    const bool read = small ? DigestDirectly(file, hashers[0], result, total, progress, cancel)
                            : DigestThroughRing(file, hashers, result, total, progress, cancel);
    if (!read) return result;
    // A file written to while it is read gives a digest of no version of it.
    if (file.ChangedSinceOpen()) {
        result.changedWhileRead = true;
        return result;
    }
    result.algorithm = algorithms.First();
    for (Hasher& hasher : hashers) {
        const DigestTexts texts = hasher.Finish();
        if (!hasher.Ready()) {
            result.errorNumber = kNoDigestLibrary;
            return result;
        }
        for (DigestAlgorithm algorithm : kDigestAlgorithms) {
            if (!hasher.Algorithms().Has(algorithm)) continue;
            if (algorithm == result.algorithm) {
                result.digest = texts.Of(algorithm);
            } else {
                result.digests.Set(algorithm, texts.Of(algorithm));
            }
        }
    }
    result.status = FileDigestResult::Status::Ok;
    return result;
}

}  // namespace

std::string_view ReadErrorReason(const FileDigestResult& result) {
    if (result.changedWhileRead) return kFileChangedWhileRead;
    if (result.errorNumber == kNoDigestLibrary) return OtherDigestsUnavailable();
    return {};
}

FileDigestResult ComputeFileDigest(const std::string& path, const DigestProgress& progress,
                                   const std::atomic<bool>* cancel, FileKind kind,
                                   DigestSet algorithms) {
    if (algorithms.Empty()) algorithms = DigestAlgorithm::Md5;
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
        return DigestOpenFile(file, algorithms, progress, cancel);
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
