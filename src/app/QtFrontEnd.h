#pragma once

#include <string>
#include <vector>

namespace vorlix {

struct ProgramLocation;

// Runs the program with its windows; returns the exit status.
int RunQtFrontEnd(int& argc, char** argv, const ProgramLocation& location,
                  const std::vector<std::string>& words);

}  // namespace vorlix
