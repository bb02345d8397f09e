#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace vorlix {

// "42 %   812.5 MB/s": what a long digest shows while it runs.
std::string ProgressText(std::uint64_t done, std::uint64_t total,
                         std::chrono::duration<double> elapsed, char decimalSeparator);
// The same for a run whose share done is told otherwise than by its bytes
// (many files); a negative percentage, when nothing can be told, leaves the
// speed alone: "812.5 MB/s".
std::string ProgressTextOfShare(int percent, std::uint64_t bytesDone,
                                std::chrono::duration<double> elapsed, char decimalSeparator);

// How long a digest runs before it shows its progress at all.
inline constexpr std::chrono::milliseconds kProgressDelay{500};

}  // namespace vorlix
