#include "digest/ManyFileDigest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "digest/Md5.h"
#include "digest/Md5Lanes.h"

namespace vorlix {
namespace {

// Bytes read per lane at a time: big enough that a pass of the lanes is long,
// small enough that 16 lanes on every core stay at a few MiB.
constexpr std::size_t kLaneBuffer = std::size_t{128} << 10;
// Results waiting for an earlier file before they can be handed on.
constexpr std::size_t kReorderWindow = 4096;

struct FileFacts {
    off_t size = 0;
    timespec modified{};
};

bool SameFacts(const struct stat& info, const FileFacts& facts) {
    return info.st_size == facts.size && info.st_mtim.tv_sec == facts.modified.tv_sec &&
           info.st_mtim.tv_nsec == facts.modified.tv_nsec;
}

// What the workers share with the caller's thread.
class Shared {
public:
    Shared(std::size_t count, const std::atomic<bool>* cancel) : count_(count), cancel_(cancel) {}

    bool Cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

    enum class Take { Got, Full, Exhausted };

    // The next file to start. Full: the caller is a whole window behind; a
    // worker with files in its lanes goes on with those (one of them may be
    // the file the caller waits for), an idle one passes `wait`.
    Take Next(std::size_t& index, bool wait) {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (next_ >= count_ || Cancelled()) return Take::Exhausted;
            if (next_ < delivered_ + kReorderWindow) break;
            if (!wait) return Take::Full;
            roomChanged_.wait_for(lock, std::chrono::milliseconds(20));
        }
        index = next_++;
        return Take::Got;
    }

    void CountRead(std::uint64_t bytes) { bytesDone_.fetch_add(bytes, std::memory_order_relaxed); }

    void Finish(std::size_t index, FileDigestResult result) {
        bool awaited = false;
        {
            std::lock_guard lock(mutex_);
            ready_[index] = std::move(result);
            awaited = index == delivered_;
        }
        // Only the file the caller waits for wakes it; the others it finds
        // ready when it gets to them.
        if (awaited) resultReady_.notify_one();
    }

    void WorkerDone() {
        {
            std::lock_guard lock(mutex_);
            ++workersDone_;
        }
        resultReady_.notify_one();
    }

    // Hands the results on in list order, on the caller's thread.
    void Deliver(const ManyFileResult& onResult, int workers,
                 const std::function<void(std::uint64_t)>& progress) {
        std::unique_lock lock(mutex_);
        while (delivered_ < count_) {
            resultReady_.wait_for(lock, std::chrono::milliseconds(20), [&] {
                return ready_.count(delivered_) > 0 || workersDone_ == workers;
            });
            if (progress) {
                lock.unlock();
                progress(bytesDone_.load(std::memory_order_relaxed));
                lock.lock();
            }
            auto found = ready_.find(delivered_);
            if (found == ready_.end()) {
                if (workersDone_ < workers) continue;
                // The workers stopped early: what no one started was cancelled.
                FileDigestResult cancelled;
                cancelled.status = FileDigestResult::Status::Cancelled;
                const std::size_t index = delivered_++;
                lock.unlock();
                onResult(index, cancelled);
                lock.lock();
                continue;
            }
            FileDigestResult result = std::move(found->second);
            ready_.erase(found);
            const std::size_t index = delivered_++;
            lock.unlock();
            roomChanged_.notify_all();
            onResult(index, result);
            lock.lock();
        }
    }

private:
    const std::size_t count_;
    const std::atomic<bool>* cancel_;
    std::mutex mutex_;
    std::condition_variable roomChanged_, resultReady_;
    std::size_t next_ = 0;
    std::size_t delivered_ = 0;
    int workersDone_ = 0;
    std::map<std::size_t, FileDigestResult> ready_;
    std::atomic<std::uint64_t> bytesDone_{0};
};

// One file in a lane of a worker.
struct LaneFile {
    std::size_t index = 0;
    int fd = -1;
    FileFacts facts;
    bool regular = false;
    std::unique_ptr<std::uint8_t[]> buffer;
    std::size_t filled = 0;   // bytes in the buffer
    std::uint64_t read = 0;   // bytes read from the file so far
    bool busy = false;
};

class Worker {
public:
    Worker(Shared& shared, const std::vector<std::string>& paths,
           const ManyFileDigestOptions& options, int laneCount)
        : shared_(shared), paths_(paths), options_(options), width_(laneCount),
          lanes_(static_cast<std::size_t>(laneCount)),
          files_(static_cast<std::size_t>(laneCount)) {
        for (LaneFile& file : files_) file.buffer.reset(new std::uint8_t[kLaneBuffer]);
    }

    ~Worker() {
        for (LaneFile& file : files_) {
            if (file.fd >= 0) ::close(file.fd);
        }
    }

    void Run() {
        for (;;) {
            if (shared_.Cancelled()) {
                for (std::size_t i = 0; i < files_.size(); ++i) {
                    if (files_[i].busy) Cancel(i);
                }
                return;
            }
            int busy = 0;
            for (std::size_t i = 0; i < files_.size(); ++i) {
                if (lanes_[i].blocks == 0) Feed(i, false);
                if (files_[i].busy) ++busy;
            }
            if (busy == 0) {
                if (exhausted_) return;
                // Nothing in hand: wait for room in the window, then go on.
                Feed(0, true);
                continue;
            }
            Md5CompressLanes(lanes_, width_);
        }
    }

private:
    // Gives lane i whole blocks: from its file, or from the next file once
    // that one ends. Leaves the lane idle when no file can be taken now.
    void Feed(std::size_t i, bool wait) {
        for (;;) {
            LaneFile& file = files_[i];
            if (!file.busy) {
                if (exhausted_) return;
                std::size_t index = 0;
                switch (shared_.Next(index, wait)) {
                    case Shared::Take::Exhausted: exhausted_ = true; return;
                    case Shared::Take::Full: return;
                    case Shared::Take::Got: break;
                }
                Start(i, index);
                continue;  // a file that failed to open is done already
            }
            // What the lane consumed goes; the partial block stays in front.
            const std::size_t consumed =
                lanes_[i].data ? static_cast<std::size_t>(lanes_[i].data - file.buffer.get()) : 0;
            std::memmove(file.buffer.get(), file.buffer.get() + consumed, file.filled - consumed);
            file.filled -= consumed;
            lanes_[i].data = nullptr;
            // All of a regular file is in: no read is needed to meet its end
            // (should it have grown meanwhile, the check at the end says so).
            if (file.regular && file.read == static_cast<std::uint64_t>(file.facts.size)) {
                Complete(i);
                continue;
            }

            const ssize_t got =
                ::read(file.fd, file.buffer.get() + file.filled, kLaneBuffer - file.filled);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                Fail(i, errno);
                continue;
            }
            if (got == 0) {
                Complete(i);
                continue;
            }
            file.filled += static_cast<std::size_t>(got);
            file.read += static_cast<std::uint64_t>(got);
            shared_.CountRead(static_cast<std::uint64_t>(got));

            if (file.filled >= 64) {
                lanes_[i].data = file.buffer.get();
                lanes_[i].blocks = file.filled / 64;
                return;
            }
        }
    }

    void Start(std::size_t i, std::size_t index) {
        LaneFile& file = files_[i];
        file.index = index;
        file.filled = 0;
        file.read = 0;
        file.busy = true;
        DigestInit(lanes_[i].state);
        lanes_[i].data = nullptr;
        lanes_[i].blocks = 0;
        // Read-only, and O_NONBLOCK so a FIFO without a writer cannot hang the open.
        file.fd = ::open(paths_[index].c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (file.fd < 0) return Fail(i, errno);
        struct stat info {};
        if (::fstat(file.fd, &info) != 0) return Fail(i, errno);
        const bool regular = S_ISREG(info.st_mode);
        if (!regular && (options_.regularFilesOnly || !S_ISBLK(info.st_mode))) {
            return Fail(i, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        }
        file.facts = {info.st_size, info.st_mtim};
        file.regular = regular;
        // O_NONBLOCK stays: it changes nothing for files and block devices.
        // Read-ahead advice pays only for files longer than one buffer.
        if (info.st_size > static_cast<off_t>(kLaneBuffer)) {
            ::posix_fadvise(file.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        }
    }

    void Complete(std::size_t i) {
        LaneFile& file = files_[i];
        Md5State& state = lanes_[i].state;
        // A file that grew or shrank while it was read has no one digest.
        struct stat info {};
        if (file.regular &&
            (::fstat(file.fd, &info) != 0 || !SameFacts(info, file.facts) ||
             file.read != static_cast<std::uint64_t>(file.facts.size))) {
            return Fail(i, 0, true);
        }
        DigestUpdate(state, file.buffer.get(), file.filled);
        DigestFinal(state);
        FileDigestResult result;
        result.status = FileDigestResult::Status::Ok;
        result.digest = DigestHexText(state);
        result.size = file.read;
        Close(i);
        shared_.Finish(file.index, std::move(result));
    }

    void Fail(std::size_t i, int error, bool changed = false) {
        FileDigestResult result;
        result.errorNumber = error;
        result.changedWhileRead = changed;
        Close(i);
        shared_.Finish(files_[i].index, std::move(result));
    }

    void Cancel(std::size_t i) {
        FileDigestResult result;
        result.status = FileDigestResult::Status::Cancelled;
        Close(i);
        shared_.Finish(files_[i].index, std::move(result));
    }

    void Close(std::size_t i) {
        LaneFile& file = files_[i];
        if (file.fd >= 0) ::close(file.fd);
        file.fd = -1;
        file.busy = false;
        lanes_[i].data = nullptr;
        lanes_[i].blocks = 0;
    }

    Shared& shared_;
    const std::vector<std::string>& paths_;
    const ManyFileDigestOptions& options_;
    const int width_;
    std::vector<Md5Lane> lanes_;
    std::vector<LaneFile> files_;
    bool exhausted_ = false;
};

}  // namespace

void DigestManyFiles(const std::vector<std::string>& paths, const ManyFileResult& onResult,
                     const ManyFileDigestOptions& options) {
    if (paths.empty()) return;
    const int width = options.lanes > 0 ? options.lanes : Md5LaneWidth();
    // Without vector lanes a worker still keeps a few files open, so reading
    // one overlaps the others' digesting across the workers.
    const int laneCount = width > 1 ? width : 1;
    int threads = options.threads > 0 ? options.threads
                                      : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, 64);
    threads = static_cast<int>(std::min<std::size_t>(threads, paths.size()));

    Shared shared(paths.size(), options.cancel);
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            {
                Worker worker(shared, paths, options, laneCount);
                worker.Run();
            }
            shared.WorkerDone();
        });
    }
    shared.Deliver(onResult, threads, options.progress);
    for (std::thread& worker : workers) worker.join();
}

}  // namespace vorlix
