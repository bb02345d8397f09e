#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vorlix::test {

// Runs `work` in a child process that file permissions really apply to: as
// "nobody" when the tests run as root (root would pass every permission
// check), as the same user otherwise. Returns what `work` returned, or
// nothing when root cannot give up its rights here. A child that fails
// returns a text saying so, which no test expects.
std::optional<std::string> RunWithoutPrivileges(const std::function<std::string()>& work);

}  // namespace vorlix::test
