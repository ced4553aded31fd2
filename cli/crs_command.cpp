#include "crs_command.h"

#include <cstdio>

#include "document_commands.h"
#include "exit_status.h"
#include "geo/project_crs.h"
#include "geo_options.h"

namespace mornax::batch {

int SetProjectCrs(std::span<const std::string> args) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, {}, line, error)) return UsageFault(error);
  if (line.operands.size() != 2) {
    return UsageFault(line.operands.size() < 2
                          ? "crs needs the document and EPSG:NNNN, a .prj or .wkt file, or none"
                          : "unexpected argument " + line.operands[2]);
  }
  const std::string& document = line.operands[0];
  const std::string& definition = line.operands[1];
  project::Records records;
  if (!LoadDocument(document, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  if (definition == "none") {
    if (!geo::RemoveProjectCrs(document, error)) {
      ReportError(error);
      return kExitRefused;
    }
    std::printf("%s: no coordinate system\n", document.c_str());
    return kExitSuccess;
  }
  if (!geo::StoreProjectCrs(document, definition, error)) {
    ReportError(error);
    return kExitRefused;
  }
  const auto stored = geo::ReadProjectCrs(document, error);
  if (!stored) {
    ReportError(error.empty() ? "the coordinate system was not stored" : error);
    return kExitRefused;
  }
  std::printf("%s: %s\n", stored->file.string().c_str(), geo::DescribeCrs(stored->wkt).c_str());
  return kExitSuccess;
}

int ShowProjectCrs(const std::string& document) {
  std::string error;
  const auto stored = geo::ReadProjectCrs(document, error);
  if (!error.empty()) {
    ReportError(error);
    return kExitRefused;
  }
  if (!stored) return kExitSuccess;
  std::printf("crs = %s\n", geo::DescribeCrs(stored->wkt).c_str());
  if (!stored->note.empty()) std::fprintf(stderr, "note: %s\n", stored->note.c_str());
  return kExitSuccess;
}

}  // namespace mornax::batch
