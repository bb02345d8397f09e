// Many independent messages through the lanes: the scalar core, AVX2 (8) and
// AVX-512 (16) side by side over the same 16 × 1 MiB of bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "digest/Md5.h"
#include "digest/Md5Lanes.h"

namespace {

constexpr std::size_t kMessages = 16;
constexpr std::size_t kMessageSize = std::size_t{1} << 20;

const std::vector<std::uint8_t>& Bytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> data(kMessages * kMessageSize);
        std::uint32_t x = 2463534242u;
        for (auto& byte : data) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            byte = static_cast<std::uint8_t>(x);
        }
        return data;
    }();
    return bytes;
}

void Lanes(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    if ((width == 8 && !vorlix::detail::HasAvx2()) ||
        (width == 16 && !vorlix::detail::HasAvx512())) {
        state.SkipWithError("not on this processor");
        return;
    }
    const auto& bytes = Bytes();
    for (auto _ : state) {
        std::vector<vorlix::Md5Lane> lanes(kMessages);
        for (std::size_t i = 0; i < kMessages; ++i) {
            vorlix::DigestInit(lanes[i].state);
            lanes[i].data = bytes.data() + i * kMessageSize;
            lanes[i].blocks = kMessageSize / 64;
        }
        while (vorlix::Md5CompressLanes(lanes, width) > 0) {
        }
        for (auto& lane : lanes) vorlix::DigestFinal(lane.state);
        benchmark::DoNotOptimize(lanes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.SetLabel(vorlix::Md5LaneInstructionSet(width));
}
BENCHMARK(Lanes)->Arg(1)->Arg(8)->Arg(16)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
