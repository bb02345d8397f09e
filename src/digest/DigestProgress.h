#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace vorlix {

// "42 %   812.5 MB/s": what a long digest shows while it runs.
std::string ProgressText(std::uint64_t done, std::uint64_t total,
                         std::chrono::duration<double> elapsed, char decimalSeparator);
// A run over many files, whose share done is told otherwise than by its
// bytes: "42 %   1234.5 MB   812.5 MB/s", the bytes read between the share and
// the speed; a negative percentage, when nothing tells the share, leaves it
// out: "1234.5 MB   812.5 MB/s".
std::string ProgressTextOfShare(int percent, std::uint64_t bytesDone,
                                std::chrono::duration<double> elapsed, char decimalSeparator);

// How long a digest runs before it shows its progress at all.
inline constexpr std::chrono::milliseconds kProgressDelay{500};

}  // namespace vorlix
