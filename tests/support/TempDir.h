#pragma once

#include <filesystem>
#include <string>

namespace vorlix::test {

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    // Writes bytes to a file below the folder and returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

  private:
    std::filesystem::path path_;
};

std::string ReadAll(const std::filesystem::path& file);

}  // namespace vorlix::test
