#include "geo/project_import.h"

#include "geo/data_file.h"
#include "geo/project_crs.h"

namespace mornax::geo {

bool ImportIntoProject(const std::filesystem::path& document, ImportRequest request,
                       const std::optional<std::string>& title, ProjectImport& result,
                       std::string& error) {
  result = ProjectImport{};
  const auto projectCrs = ReadProjectCrs(document, error);
  if (!error.empty()) return false;
  if (projectCrs) {
    request.projectCrs = projectCrs->wkt;
    result.projectCrsNote = projectCrs->note;
  }
  ImportedPoints points;
  if (!ReadPoints(request, points, result.report, error)) return false;
  result.dataFile = FindDataFile(document);
  const std::string fallbackTitle =
      "Points from " + std::filesystem::path(request.source).filename().string();
  // A project without a system takes the source's; the data file follows,
  // and when it cannot be written the project is left without one again.
  const std::optional<std::string>& adopt = result.report.adoptCrs;
  if (adopt && !StoreProjectCrs(document, *adopt, error)) {
    error = "the coordinate system was not stored, nothing imported: " + error;
    return false;
  }
  if (!WriteDataSection(result.dataFile, title, fallbackTitle, points, result.networkKept, error)) {
    std::string undone;
    if (adopt && !RemoveProjectCrs(document, undone)) error += "; " + undone;
    return false;
  }
  result.storedCrs = adopt.has_value();
  result.taken = points.x.size();
  result.guesses = !points.guess.empty();
  return true;
}

std::vector<std::string> DescribeImport(const std::filesystem::path& document,
                                        const ImportRequest& request, const ProjectImport& result,
                                        const std::string& layerHint) {
  const ImportReport& report = result.report;
  std::vector<std::string> lines;
  std::string line = "read " + std::to_string(report.read) + " features from layer '" +
                     report.layer + "' of " + request.source;
  if (report.layerCount > 1 && request.layer.empty()) {
    line += " (the first of " + std::to_string(report.layerCount) + " layers; " + layerHint + ")";
  }
  lines.push_back(line);
  line = "took " + std::to_string(result.taken) + ", dropped " + std::to_string(report.dropped());
  if (report.dropped() > 0) line += ": " + report.DropReasons();
  lines.push_back(line);
  for (const std::string& example : report.examples) lines.push_back("  " + example);
  if (!report.crsNote.empty()) lines.push_back(report.crsNote);
  if (result.storedCrs) {
    lines.push_back("stored the coordinate system in " + ProjectCrsPath(document).string());
  }
  lines.push_back("wrote " + result.dataFile.string() + ": " + std::to_string(result.taken) +
                  " data points" + (result.guesses ? " with guesses" : "") + "; " +
                  (result.networkKept ? "its network kept" : "an empty network (0 points)"));
  return lines;
}

}  // namespace mornax::geo
