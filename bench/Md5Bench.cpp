// The digest core against OpenSSL's MD5 over the same buffer, and, when
// VORLIX_BENCH_FILE names a file, the whole-file routine over that file.
// Prints the throughput ratios at the end.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "digest/FileDigest.h"
#include "digest/Md5.h"

namespace {

constexpr std::size_t kBufferSize = std::size_t{64} << 20;

const std::vector<unsigned char>& Buffer() {
    static const std::vector<unsigned char> buffer = [] {
        std::vector<unsigned char> bytes(kBufferSize);
        std::uint32_t x = 2463534242u;
        for (auto& byte : bytes) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            byte = static_cast<unsigned char>(x);
        }
        return bytes;
    }();
    return buffer;
}

void Core(benchmark::State& state) {
    const auto& buffer = Buffer();
    for (auto _ : state) {
        vorlix::Md5State md5;
        vorlix::DigestInit(md5);
        vorlix::DigestUpdate(md5, buffer.data(), buffer.size());
        vorlix::DigestFinal(md5);
        benchmark::DoNotOptimize(md5);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}

void OpenSsl(benchmark::State& state) {
    const auto& buffer = Buffer();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    for (auto _ : state) {
        EVP_Digest(buffer.data(), buffer.size(), digest, &length, EVP_md5(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}

void File(benchmark::State& state, std::string path) {
    std::uint64_t size = 0;
    for (auto _ : state) {
        const auto result = vorlix::ComputeFileDigest(path);
        if (result.status != vorlix::FileDigestResult::Status::Ok) {
            state.SkipWithError("cannot read the file");
            return;
        }
        size = result.size;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

// The console output as usual, and the throughput of each benchmark kept.
class RateReporter : public benchmark::ConsoleReporter {
  public:
    RateReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.error_occurred) continue;
            // With repetitions the median stands for the benchmark; a busy
            // machine disturbs it least.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            const auto rate = run.counters.find("bytes_per_second");
            if (rate == run.counters.end()) continue;
            const std::string& name = run.run_name.function_name;
            if (median || !medians.count(name)) rates[name] = rate->second.value;
            if (median) medians.insert(name);
        }
    }
    std::set<std::string> medians;
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
    // Wall-clock time throughout: the file routine's reader works on a thread
    // of its own, so its CPU time would flatter it.
    benchmark::RegisterBenchmark("Core", Core)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("OpenSSL", OpenSsl)->Unit(benchmark::kMillisecond)->UseRealTime();
    if (const char* path = std::getenv("VORLIX_BENCH_FILE")) {
        benchmark::RegisterBenchmark("File", File, std::string(path))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto& rates = reporter.rates;
    if (rates.count("Core") && rates.count("OpenSSL")) {
        std::printf("core / OpenSSL throughput: %.3fx\n", rates["Core"] / rates["OpenSSL"]);
    }
    if (rates.count("Core") && rates.count("File")) {
        std::printf("file / core throughput: %.3fx\n", rates["File"] / rates["Core"]);
    }
    return 0;
}
