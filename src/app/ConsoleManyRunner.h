#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "checksum/ManyFiles.h"

namespace vorlix {

// Runs many digests for the console front-end. A checksum list prints one
// md5sum -c line per entry on `out` as it finishes; dropped files print
// md5sum's own lines there, and a line on `progress` for each file that could
// not be read. On a terminal, a run longer
// than half a second keeps a progress line on `progress` and erases it at
// the end.
ManyFilesOutcome RunManyFilesOnConsole(const ManyFilesJob& job, std::ostream& out,
                                       bool outIsTerminal, std::ostream& progress,
                                       bool progressIsTerminal, char decimalSeparator);

// "3/40 files   120.5 MB   612.3 MB/s"
std::string ManyFilesProgressText(std::size_t filesDone, std::size_t filesTotal,
                                  std::uint64_t bytesDone, std::chrono::duration<double> elapsed,
                                  char decimalSeparator);

}  // namespace vorlix
