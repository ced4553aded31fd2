// A fresh temporary folder, removed with everything in it when the object
// goes; the tests pass its path to the engine as the project's folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mornax::testing {

class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of a file of the folder, as text.
  std::string In(std::string_view name) const { return (path_ / std::string(name)).string(); }

  // Writes a text file in the folder.
  void Write(std::string_view name, std::string_view content) const;
  // Reads a file of the folder whole ("" when it does not exist).
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// Contents of a file in the source tree (tests/data/... and the like).
std::string ReadSourceFile(std::string_view relativePath);

}  // namespace mornax::testing
