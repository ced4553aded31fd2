#include "geo/network_summary.h"

#include "geo/number_text.h"

namespace mornax::geo {
namespace {

std::string Number(double value) {
  std::string text;
  AppendSignificant15(text, value);
  return text;
}

}  // namespace

std::string DescribeLayout(const GridLayout& layout) {
  return std::to_string(layout.columns) + " x " + std::to_string(layout.rows) + " = " +
         std::to_string(layout.nodes()) + " nodes, spacing " + Number(layout.dx) + " x " +
         Number(layout.dy) + ", extent " + Number(layout.xmin) + " " + Number(layout.ymin) + " " +
         Number(layout.xmax()) + " " + Number(layout.ymax());
}

std::vector<std::string> DescribeNetwork(const NetworkRequest& request, const NetworkReport& report,
                                         const std::filesystem::path& dataFile) {
  const GridLayout& layout = report.layout;
  std::vector<std::string> lines = {DescribeLayout(layout)};
  if (layout.widened) {
    lines.push_back("the extent was widened up and to the right to hold whole cells");
  }
  if (report.nodes != layout.nodes()) {
    lines.push_back("kept " + std::to_string(report.nodes) + " nodes" +
                    (request.clip ? " inside the polygons" : "") +
                    (request.clip && request.hullMargin ? " and" : "") +
                    (request.hullMargin ? " near the data points' hull" : "") + "; the " +
                    std::to_string(layout.nodes() - report.nodes) + " others are left out");
  }
  lines.insert(lines.end(), report.notes.begin(), report.notes.end());
  lines.push_back("network of " + dataFile.string() + " replaced");
  return lines;
}

}  // namespace mornax::geo
