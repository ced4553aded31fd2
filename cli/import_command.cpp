#include "import_command.h"

#include <array>
#include <cstdio>

#include "document_commands.h"
#include "exit_status.h"
#include "geo/data_file.h"
#include "geo/point_import.h"
#include "geo/project_crs.h"
#include "geo_options.h"

namespace mornax::batch {
namespace {

constexpr std::array<OptionSpec, 7> kImportOptions = {{{"--z", 1},
                                                       {"--guess", 1},
                                                       {"--x", 1},
                                                       {"--y", 1},
                                                       {"--layer", 1},
                                                       {"--title", 1},
                                                       {"--crs", 1}}};

std::string OptionValue(const CommandLine& line, std::string_view name) {
  return line.Has(name) ? line.Value(name) : std::string();
}

}  // namespace

int ImportPoints(std::span<const std::string> args) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, kImportOptions, line, error)) return UsageFault(error);
  if (line.operands.size() != 2) {
    return UsageFault(line.operands.size() < 2 ? "import needs the document and a source"
                                               : "unexpected argument " + line.operands[2]);
  }
  if (!line.Has("--z")) return UsageFault("import needs --z FIELD, the field of the values");
  if (line.Has("--x") != line.Has("--y")) return UsageFault("give both --x and --y, or neither");
  std::optional<std::string> title;
  if (line.Has("--title")) {
    title = line.Value("--title");
    if (title->find_first_of("\r\n") != std::string::npos) {
      return UsageFault("--title must be one line");
    }
  }
  const std::string& document = line.operands[0];
  project::Records records;
  if (!LoadDocument(document, records, error)) {
    ReportError(error);
    return kExitUsage;
  }

  geo::ImportRequest request;
  request.source = line.operands[1];
  request.layer = OptionValue(line, "--layer");
  request.zField = line.Value("--z");
  request.guessField = OptionValue(line, "--guess");
  request.xField = OptionValue(line, "--x");
  request.yField = OptionValue(line, "--y");
  request.positiveOnly = records.svar.logTransform != 0;
  if (line.Has("--crs")) {
    std::string wkt;
    if (!geo::CrsToWkt(line.Value("--crs"), wkt, error)) {
      ReportError("--crs: " + error);
      return kExitRefused;
    }
    request.sourceCrs = wkt;
  }
  const auto projectCrs = geo::ReadProjectCrs(document, error);
  if (!error.empty()) {
    ReportError(error);
    return kExitRefused;
  }
  if (projectCrs) {
    request.projectCrs = projectCrs->wkt;
    if (!projectCrs->note.empty()) std::fprintf(stderr, "note: %s\n", projectCrs->note.c_str());
  }

  geo::ImportedPoints points;
  geo::ImportReport report;
  if (!geo::ReadPoints(request, points, report, error)) {
    ReportError(error);
    return kExitRefused;
  }
  const std::filesystem::path dataFile = geo::FindDataFile(document);
  const std::string fallbackTitle =
      "Points from " + std::filesystem::path(request.source).filename().string();
  // A project without a system takes the source's; the data file follows,
  // and when it cannot be written the project is left without one again.
  if (report.adoptCrs && !geo::StoreProjectCrs(document, *report.adoptCrs, error)) {
    ReportError("the coordinate system was not stored, nothing imported: " + error);
    return kExitRefused;
  }
  bool networkKept = false;
  if (!geo::WriteDataSection(dataFile, title, fallbackTitle, points, networkKept, error)) {
    std::string undone;
    if (report.adoptCrs && !geo::RemoveProjectCrs(document, undone)) error += "; " + undone;
    ReportError(error);
    return kExitRefused;
  }

  std::printf("read %lld features from layer '%s' of %s", static_cast<long long>(report.read),
              report.layer.c_str(), request.source.c_str());
  if (report.layerCount > 1 && request.layer.empty()) {
    std::printf(" (the first of %d layers; --layer chooses another)", report.layerCount);
  }
  std::printf("\ntook %zu, dropped %lld", points.x.size(),
              static_cast<long long>(report.dropped()));
  if (report.dropped() > 0) std::printf(": %s", report.DropReasons().c_str());
  std::printf("\n");
  for (const std::string& example : report.examples) std::printf("  %s\n", example.c_str());
  if (!report.crsNote.empty()) std::printf("%s\n", report.crsNote.c_str());
  if (report.adoptCrs) {
    std::printf("stored the coordinate system in %s\n",
                geo::ProjectCrsPath(document).string().c_str());
  }
  std::printf("wrote %s: %zu data points%s; %s\n", dataFile.string().c_str(), points.x.size(),
              points.guess.empty() ? "" : " with guesses",
              networkKept ? "its network kept" : "an empty network (0 points)");
  return kExitSuccess;
}

}  // namespace mornax::batch
