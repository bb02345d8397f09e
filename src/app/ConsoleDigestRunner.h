#pragma once

#include <ostream>
#include <string>

#include "digest/FileDigest.h"

namespace vorlix {

// Digests a file for the console front-end. On a terminal, a digest that runs
// longer than half a second keeps one progress line up to date on `progress`
// and erases it at the end; elsewhere nothing is written. An interrupt (see
// ExitOnInterrupt) stops the digest and ends the program.
FileDigestResult RunDigestOnConsole(const std::string& path, DigestSet algorithms,
                                    std::ostream& progress, bool progressIsTerminal,
                                    char decimalSeparator);

}  // namespace vorlix
