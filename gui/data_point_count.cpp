#include "gui/data_point_count.h"

#include <fstream>

#include "gui/text_scanner.h"

namespace mornax::gui {
namespace {

// Enough for the title line and the count; the points are never needed.
constexpr std::streamsize kHeaderBytes = 64 * 1024;

}  // namespace

std::optional<int> DataPointCount(const std::string& dataFile) {
  std::ifstream in(dataFile, std::ios::binary);
  if (!in) return std::nullopt;
  std::string head(static_cast<std::size_t>(kHeaderBytes), '\0');
  in.read(head.data(), kHeaderBytes);
  head.resize(static_cast<std::size_t>(in.gcount()));
  TextScanner scanner(std::move(head));
  std::string title;
  int count = 0;
  if (!scanner.ReadLine(title) || !scanner.ScanInt(count) || count < 0) return std::nullopt;
  return count;
}

}  // namespace mornax::gui
