// A fresh temporary folder that is the current directory while the object
// lives; the engine finds and writes its project files there.
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

  // Writes a text file in the folder.
  void Write(std::string_view name, std::string_view content) const;
  // Reads a file of the folder whole ("" when it does not exist).
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// Contents of a file in the source tree (tests/data/... and the like).
std::string ReadSourceFile(std::string_view relativePath);

}  // namespace mornax::testing
