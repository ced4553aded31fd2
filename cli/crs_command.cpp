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
                          ? "crs needs the document and EPSG:NNNN, a .prj file or none"
                          : "unexpected argument " + line.operands[2]);
  }
  const std::string& document = line.operands[0];
  const std::string& definition = line.operands[1];
  project::Records records;
  if (!LoadDocument(document, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  const std::filesystem::path sidecar = geo::ProjectCrsPath(document);
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
  const auto wkt = geo::ReadProjectCrs(document, error);
  std::printf("%s: %s\n", sidecar.string().c_str(),
              wkt ? geo::DescribeCrs(*wkt).c_str() : "written");
  return kExitSuccess;
}

int ShowProjectCrs(const std::string& document) {
  std::string error;
  const auto wkt = geo::ReadProjectCrs(document, error);
  if (!error.empty()) {
    ReportError(error);
    return kExitRefused;
  }
  if (wkt) std::printf("crs = %s\n", geo::DescribeCrs(*wkt).c_str());
  return kExitSuccess;
}

}  // namespace mornax::batch
