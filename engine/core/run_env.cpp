#include "core/run_env.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace mornax {
namespace {

// A positive whole number from the environment variable `name`, else 0.
int PositiveFromEnvironment(const char* name) {
  const char* text = std::getenv(name);
  if (text == nullptr) return 0;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 1) return 0;
  return static_cast<int>(std::min<long>(value, 1024));
}

}  // namespace

RunOptions ResolveRunOptions(int threads) {
  RunOptions options;
  options.threads =
      threads > 0 ? std::min(threads, 1024) : PositiveFromEnvironment("MORNAX_THREADS");
  if (options.threads <= 0) {
    options.threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  }
  options.linearScan = PositiveFromEnvironment("MORNAX_LINEAR_SCAN") > 0;
  return options;
}

}  // namespace mornax
