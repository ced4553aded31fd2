#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace mornax::testing {

ScopedTempDir::ScopedTempDir() {
  std::random_device device;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("mornax-test-" + std::to_string(device()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void ScopedTempDir::Write(std::string_view name, std::string_view content) const {
  std::ofstream out(path_ / std::string(name), std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string ScopedTempDir::Read(std::string_view name) const {
  std::ifstream in(path_ / std::string(name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool ScopedTempDir::Exists(std::string_view name) const {
  return std::filesystem::exists(path_ / std::string(name));
}

std::string ReadSourceFile(std::string_view relativePath) {
  std::ifstream in(std::filesystem::path(MORNAX_SOURCE_DIR) / std::string(relativePath),
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace mornax::testing
