#include "digest/ManyFileDigest.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "digest/Hasher.h"
#include "digest/InputFile.h"
#include "digest/Md5.h"
#include "digest/Md5Lanes.h"

namespace vorlix {
namespace {

// Bytes read per lane at a time: big enough that a pass of the lanes is long,
// small enough that 16 lanes on every core stay at a few MiB.
constexpr std::size_t kLaneBuffer = std::size_t{128} << 10;

// What the workers share with the caller's thread. The caller pulls the
// entries from the source into a ring of slots, one per file of the window,
// and publishes how many there are; files are claimed with one
// compare-and-swap and their results land in the same slots, so the hot path
// takes no lock. The caller sleeps only when the file it is due to hand on is
// unfinished; a worker wakes it once that file is ready, at most once per
// pass of its lanes.
class Shared {
  public:
    Shared(std::vector<ManyFileEntry> first, bool sourceEnded, const ManyFileSource& source,
           const std::atomic<bool>* cancel)
        : source_(source), cancel_(cancel), slots_(std::max<std::size_t>(first.size(), 1)) {
        for (std::size_t i = 0; i < first.size(); ++i) slots_[i].entry = std::move(first[i]);
        available_.store(first.size(), std::memory_order_relaxed);
        sourceEnded_.store(sourceEnded, std::memory_order_relaxed);
    }

    bool Cancelled() const {
        return stopped_.load(std::memory_order_relaxed) ||
               (cancel_ && cancel_->load(std::memory_order_relaxed));
    }

    // Everything stops: the caller's thread is leaving.
    void Stop() {
        stopped_.store(true, std::memory_order_relaxed);
        Wake(roomChanged_);
    }

    const std::string& PathOf(std::size_t index) const {
        return slots_[index % slots_.size()].entry.path;
    }
    DigestSet AlgorithmsOf(std::size_t index) const {
        const DigestSet algorithms = slots_[index % slots_.size()].entry.algorithms;
        return algorithms.Empty() ? DigestSet(DigestAlgorithm::Md5) : algorithms;
    }

    enum class Take { Got, Full, Exhausted };

    // The next files to start, as a run of at most `most` neighbours in the
    // list, so that one worker's files come out side by side. Full: the
    // caller is a whole window behind; a worker with files in its lanes goes
    // on with those (one of them may be the file the caller waits for), an
    // idle one passes `wait`.
    Take Next(std::size_t most, std::size_t& first, std::size_t& taken, bool wait) {
        for (;;) {
            std::size_t next = next_.load(std::memory_order_relaxed);
            if (Cancelled()) return Take::Exhausted;
            const std::size_t end = available_.load(std::memory_order_acquire);
            if (next >= end) {
                // The count is published before the end, so after the end
                // it is final.
                if (sourceEnded_.load(std::memory_order_acquire) &&
                    next >= available_.load(std::memory_order_acquire)) {
                    return Take::Exhausted;
                }
                if (!wait) return Take::Full;
                WaitForRoom(next);
                continue;
            }
            const std::size_t run = std::min(most, end - next);
            if (next_.compare_exchange_weak(next, next + run, std::memory_order_relaxed)) {
                first = next;
                taken = run;
                return Take::Got;
            }
        }
    }

    void CountRead(std::uint64_t bytes) { bytesDone_.fetch_add(bytes, std::memory_order_relaxed); }

    // Publishes a result; the caller learns of it at the next WakeIfAwaited.
    void Finish(std::size_t index, FileDigestResult result) {
        Slot& slot = slots_[index % slots_.size()];
        slot.result = std::move(result);
        slot.ready.store(true, std::memory_order_seq_cst);
    }

    // Wakes the caller when the file it waits for is ready. Workers call this
    // once per pass rather than per file: the caller then finds a run of
    // results, not one. The ready store above and the load of awaited_ pair
    // with the caller's in AwaitSlot: either it sees the result, or this
    // worker sees it waiting.
    void WakeIfAwaited() {
        const std::size_t awaited = awaited_.load(std::memory_order_seq_cst);
        if (awaited != kNobody && slots_[awaited % slots_.size()].ready.load()) Wake(resultReady_);
    }

    void WorkerDone() {
        workersDone_.fetch_add(1, std::memory_order_seq_cst);
        Wake(resultReady_);
    }

    // Hands the results on in list order, on the caller's thread, and takes
    // a new entry from the source for every slot that comes free.
    void Deliver(const ManyFileEntryResult& onResult, int workers,
                 const std::function<void(std::uint64_t)>& progress) {
        auto lastProgress = std::chrono::steady_clock::now();
        const auto report = [&] {
            if (!progress) return;
            lastProgress = std::chrono::steady_clock::now();
            progress(bytesDone_.load(std::memory_order_relaxed));
        };
        for (std::size_t index = 0; index < available_.load(std::memory_order_relaxed); ++index) {
            Slot& slot = slots_[index % slots_.size()];
            FileDigestResult result;
            if (AwaitSlot(slot, index, workers, report)) {
                result = std::move(slot.result);
                slot.ready.store(false, std::memory_order_relaxed);
            } else {
                // The workers stopped early: what no one started was cancelled.
                result.status = FileDigestResult::Status::Cancelled;
            }
            ManyFileEntry entry = std::move(slot.entry);
            Pull(slot);
            onResult(index, entry, result);
            if (progress && std::chrono::steady_clock::now() - lastProgress > kProgressEvery)
                report();
        }
        report();
    }

  private:
    static constexpr auto kWaitSlice = std::chrono::milliseconds(20);
    static constexpr auto kProgressEvery = std::chrono::milliseconds(50);

    struct Slot {
        ManyFileEntry entry;
        FileDigestResult result;
        std::atomic<bool> ready{false};
    };

    // False when the file at `index` will never come: no worker is left.
    template <typename Report>
    bool AwaitSlot(Slot& slot, std::size_t index, int workers, const Report& report) {
        if (slot.ready.load(std::memory_order_acquire)) return true;
        std::unique_lock lock(mutex_);
        awaited_.store(index, std::memory_order_seq_cst);
        for (;;) {
            if (slot.ready.load(std::memory_order_seq_cst)) break;
            if (workersDone_.load(std::memory_order_seq_cst) == workers) {
                // A worker may have finished the file just before it left.
                if (slot.ready.load(std::memory_order_acquire)) break;
                awaited_.store(kNobody, std::memory_order_relaxed);
                return false;
            }
            if (resultReady_.wait_for(lock, kWaitSlice) == std::cv_status::timeout) {
                lock.unlock();
                report();
                lock.lock();
            }
        }
        awaited_.store(kNobody, std::memory_order_relaxed);
        return true;
    }

    // The slot is free again: it takes the source's next entry, one window
    // ahead, and a worker waiting for room may go on.
    void Pull(Slot& slot) {
        if (sourceEnded_.load(std::memory_order_relaxed)) return;
        if (source_(slot.entry)) {
            available_.store(available_.load(std::memory_order_relaxed) + 1,
                             std::memory_order_seq_cst);
        } else {
            slot.entry = {};
            sourceEnded_.store(true, std::memory_order_seq_cst);
        }
        if (roomWaiters_.load(std::memory_order_seq_cst) > 0) Wake(roomChanged_);
    }

    void WaitForRoom(std::size_t next) {
        std::unique_lock lock(mutex_);
        roomWaiters_.fetch_add(1, std::memory_order_seq_cst);
        roomChanged_.wait_for(lock, kWaitSlice, [&] {
            return Cancelled() || next < available_.load(std::memory_order_seq_cst) ||
                   sourceEnded_.load(std::memory_order_seq_cst);
        });
        roomWaiters_.fetch_sub(1, std::memory_order_relaxed);
    }

    // Taking the lock orders the wake after a sleeper's last look at the flags.
    void Wake(std::condition_variable& condition) {
        { std::lock_guard lock(mutex_); }
        condition.notify_all();
    }

    static constexpr std::size_t kNobody = static_cast<std::size_t>(-1);

    const ManyFileSource& source_;
    const std::atomic<bool>* cancel_;
    std::vector<Slot> slots_;
    // Entries taken from the source so far; only the caller's thread writes it.
    std::atomic<std::size_t> available_{0};
    std::atomic<bool> sourceEnded_{false};
    std::atomic<bool> stopped_{false};
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> awaited_{kNobody};
    std::atomic<int> workersDone_{0};
    std::atomic<int> roomWaiters_{0};
    std::atomic<std::uint64_t> bytesDone_{0};
    std::mutex mutex_;
    std::condition_variable roomChanged_, resultReady_;
};

// One file in a lane of a worker. A busy lane whose file is not open yet
// waits for a descriptor.
struct LaneFile {
    std::size_t index = 0;
    InputFile input;
    std::unique_ptr<std::uint8_t[]> buffer;
    std::size_t filled = 0;  // bytes in the buffer
    std::uint64_t read = 0;  // bytes read from the file so far
    bool busy = false;
    DigestSet algorithms;
    Hasher others;  // every digest asked but MD5, fed as the file is read
};

class Worker {
  public:
    Worker(Shared& shared, const ManyFileDigestOptions& options, int laneCount, int width)
        : shared_(shared),
          options_(options),
          width_(width),
          lanes_(static_cast<std::size_t>(laneCount)),
          files_(static_cast<std::size_t>(laneCount)) {
        for (LaneFile& file : files_) file.buffer.reset(new std::uint8_t[kLaneBuffer]);
    }

    void Run() {
        for (;;) {
            if (shared_.Cancelled()) {
                for (std::size_t i = 0; i < files_.size(); ++i) {
                    if (files_[i].busy) Cancel(i);
                }
                return;
            }
            std::size_t busy = 0;
            hashedOthers_ = false;
            for (std::size_t i = 0; i < files_.size(); ++i) {
                if (files_[i].busy && lanes_[i].blocks == 0) Refill(i, DescriptorWait::No);
                if (files_[i].busy) ++busy;
            }
            if (busy < files_.size() && !exhausted_) busy += FillIdleLanes(busy == 0);
            shared_.WakeIfAwaited();
            if (busy == 0) {
                if (exhausted_) return;
                continue;
            }
            if (Md5CompressLanes(lanes_, width_) == 0 && !hashedOthers_) {
                // Every file in hand waits for a descriptor and this worker
                // holds none: wait for one for the first of them.
                for (std::size_t i = 0; i < files_.size(); ++i) {
                    if (files_[i].busy) {
                        Refill(i, DescriptorWait::Yes);
                        break;
                    }
                }
            }
        }
    }

  private:
    // Starts files in the idle lanes; returns how many of them are busy now
    // (a file that cannot be opened is done at once). With nothing else in
    // hand, `wait` waits for room in the window.
    std::size_t FillIdleLanes(bool wait) {
        std::size_t idle = 0;
        for (const LaneFile& file : files_) idle += file.busy ? 0 : 1;
        std::size_t first = 0, taken = 0;
        switch (shared_.Next(idle, first, taken, wait)) {
            case Shared::Take::Exhausted:
                exhausted_ = true;
                return 0;
            case Shared::Take::Full:
                return 0;
            case Shared::Take::Got:
                break;
        }
        std::size_t started = 0;
        for (std::size_t i = 0; i < files_.size() && taken > 0; ++i) {
            if (files_[i].busy) continue;
            Start(i, first++);
            --taken;
            // A file that failed to open is done already; an empty one ends here.
            Refill(i, DescriptorWait::No);
            if (files_[i].busy) ++started;
        }
        return started;
    }

    // Gives busy lane i whole blocks from its file, or completes the file
    // once it ends; the lane is idle then. A file the process has no
    // descriptor for stays in the lane, unopened, unless `wait` waits.
    void Refill(std::size_t i, DescriptorWait wait) {
        LaneFile& file = files_[i];
        if (!file.others.Ready()) return Fail(i, kNoDigestLibrary);
        if (!file.input.IsOpen() && !Open(i, wait)) return;
        while (file.busy) {
            // What the lane consumed goes; the partial block stays in front.
            const std::size_t consumed =
                lanes_[i].data ? static_cast<std::size_t>(lanes_[i].data - file.buffer.get()) : 0;
            std::memmove(file.buffer.get(), file.buffer.get() + consumed, file.filled - consumed);
            file.filled -= consumed;
            lanes_[i].data = nullptr;

            // On to the end, whatever size the system gave at the open.
            const ssize_t got =
                file.input.Read(file.buffer.get() + file.filled, kLaneBuffer - file.filled);
            if (got < 0) return Fail(i, errno);
            if (got == 0) return Complete(i);
            if (!file.others.Algorithms().Empty()) {
                file.others.Update(file.buffer.get() + file.filled, static_cast<std::size_t>(got));
                hashedOthers_ = true;
            }
            file.read += static_cast<std::uint64_t>(got);
            shared_.CountRead(static_cast<std::uint64_t>(got));
            if (!file.algorithms.Has(DigestAlgorithm::Md5)) {
                // Nothing for the lanes: the next buffer at the next pass.
                return;
            }
            file.filled += static_cast<std::size_t>(got);

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
        file.algorithms = shared_.AlgorithmsOf(index);
        const DigestSet others = file.algorithms.Without(DigestAlgorithm::Md5);
        if (!others.Empty()) file.others = Hasher(others);
        DigestInit(lanes_[i].state);
        lanes_[i].data = nullptr;
        lanes_[i].blocks = 0;
    }

    // True when lane i's file is open; otherwise it is done, or still waits
    // for a descriptor.
    bool Open(std::size_t i, DescriptorWait wait) {
        LaneFile& file = files_[i];
        const FileKind kind =
            options_.regularFilesOnly ? FileKind::RegularOnly : FileKind::RegularOrBlockDevice;
        const int error = file.input.Open(shared_.PathOf(file.index), kind, wait, options_.cancel);
        if (error == 0) {
            // Read-ahead advice pays only for files longer than one buffer.
            if (file.input.ReportedSize() > kLaneBuffer) {
                file.input.AdviseSequentialRead();
            }
            return true;
        }
        if (error == ECANCELED) {
            Cancel(i);
        } else if (!(OutOfDescriptors(error) && wait == DescriptorWait::No)) {
            Fail(i, error);
        }
        return false;
    }

    void Complete(std::size_t i) {
        LaneFile& file = files_[i];
        Md5State& state = lanes_[i].state;
        // A file that grew or shrank while it was read has no one digest.
        if (file.input.ChangedSinceOpen()) return Fail(i, 0, true);
        FileDigestResult result;
        result.algorithm = file.algorithms.First();
        if (!file.others.Algorithms().Empty()) {
            result.digests = file.others.Finish();
            if (!file.others.Ready()) return Fail(i, kNoDigestLibrary);
        }
        if (file.algorithms.Has(DigestAlgorithm::Md5)) {
            DigestUpdate(state, file.buffer.get(), file.filled);
            DigestFinal(state);
            result.digest = DigestHexText(state);
        } else {
            result.digest = result.digests.Of(result.algorithm);
            result.digests.Set(result.algorithm, {});
        }
        result.status = FileDigestResult::Status::Ok;
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
        file.input.Close();
        if (!file.others.Algorithms().Empty()) file.others = Hasher();
        file.busy = false;
        lanes_[i].data = nullptr;
        lanes_[i].blocks = 0;
    }

    Shared& shared_;
    const ManyFileDigestOptions& options_;
    const int width_;
    std::vector<Md5Lane> lanes_;
    std::vector<LaneFile> files_;
    bool exhausted_ = false;
    bool hashedOthers_ = false;  // a file without MD5 moved on in this pass
};

}  // namespace

void DigestManyFiles(const ManyFileSource& source, const ManyFileEntryResult& onResult,
                     const ManyFileDigestOptions& options) {
    // The first window's worth before any worker starts: a short list is
    // known whole then, and needs fewer workers and slots.
    std::vector<ManyFileEntry> first;
    bool sourceEnded = false;
    while (first.size() < kManyFilesAhead) {
        ManyFileEntry entry;
        if (!source(entry)) {
            sourceEnded = true;
            break;
        }
        first.push_back(std::move(entry));
    }
    if (first.empty()) return;
    if (sourceEnded && first.size() == 1) {
        // One file has no other to share the lanes with: the single-file
        // reader reads ahead on a thread of its own while this one hashes.
        ManyFileEntry& entry = first.front();
        const std::function<void(std::uint64_t)>& report = options.progress;
        auto reported = std::chrono::steady_clock::now();
        const DigestProgress throttled = [&](std::uint64_t done, std::uint64_t) {
            // As often as the workers report, no more.
            const auto now = std::chrono::steady_clock::now();
            if (now - reported < std::chrono::milliseconds(50)) return;
            reported = now;
            report(done);
        };
        const FileDigestResult result = ComputeFileDigest(
            entry.path, report ? throttled : DigestProgress(), options.cancel,
            options.regularFilesOnly ? FileKind::RegularOnly : FileKind::RegularOrBlockDevice,
            entry.algorithms.Empty() ? DigestSet(DigestAlgorithm::Md5) : entry.algorithms);
        if (report) report(result.size);
        onResult(0, entry, result);
        return;
    }

    const int width = options.lanes > 0 ? options.lanes : Md5LaneWidth();
    // Without vector lanes a worker still keeps a few files open, so reading
    // one overlaps the others' digesting across the workers.
    int laneCount = width > 1 ? width : 1;
    // One worker more than the cores: small files keep workers in the kernel
    // (open, stat, close), and the spare one fills the gaps.
    int threads = options.threads > 0 ? options.threads
                                      : static_cast<int>(std::thread::hardware_concurrency()) + 1;
    threads = std::clamp(threads, 1, 64);
    if (sourceEnded) threads = static_cast<int>(std::min<std::size_t>(threads, first.size()));
    // Every lane of every worker may hold a file open: all of them together
    // stay within what the process may still open. Fewer lanes before fewer
    // workers, as the lanes only share a core.
    const std::size_t budget = InputFileBudget();
    threads = static_cast<int>(std::min<std::size_t>(threads, budget));
    laneCount = static_cast<int>(
        std::clamp<std::size_t>(budget / static_cast<std::size_t>(threads), 1, laneCount));

    Shared shared(std::move(first), sourceEnded, source, options.cancel);
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        try {
            workers.emplace_back([&] {
                {
                    Worker worker(shared, options, laneCount, width);
                    worker.Run();
                }
                shared.WorkerDone();
            });
        } catch (const std::system_error&) {
            break;  // the system has no more threads for us: fewer workers
        }
    }
    if (workers.empty()) shared.Stop();  // every file: a read error, below
    try {
        if (workers.empty()) {
            FileDigestResult failed;
            failed.errorNumber = EAGAIN;
            shared.Deliver([&](std::size_t index, ManyFileEntry& entry,
                               const FileDigestResult&) { onResult(index, entry, failed); },
                           0, {});
            return;
        }
        shared.Deliver(onResult, static_cast<int>(workers.size()), options.progress);
    } catch (...) {
        // The caller leaves (its handler or the source threw): the workers
        // must not outlive what they read.
        shared.Stop();
        for (std::thread& worker : workers) worker.join();
        throw;
    }
    for (std::thread& worker : workers) worker.join();
}

void DigestManyFiles(const std::vector<std::string>& paths, const ManyFileResult& onResult,
                     const ManyFileDigestOptions& options) {
    std::size_t next = 0;
    DigestManyFiles(
        [&](ManyFileEntry& entry) {
            if (next == paths.size()) return false;
            entry.path = paths[next++];
            return true;
        },
        [&](std::size_t index, ManyFileEntry&, const FileDigestResult& result) {
            onResult(index, result);
        },
        options);
}

}  // namespace vorlix
