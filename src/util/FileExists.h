#pragma once

#include <string>

namespace vorlix {

// True for an existing file that is not a folder; false for a folder, a
// missing path and the empty text. Never shows anything.
bool FileExists(const std::string& path);

}  // namespace vorlix
