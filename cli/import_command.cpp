#include "import_command.h"

#include <array>
#include <cstdio>

#include "document_commands.h"
#include "exit_status.h"
#include "geo/project_crs.h"
#include "geo/project_import.h"
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
  geo::ProjectImport result;
  const bool imported = geo::ImportIntoProject(document, request, title, result, error);
  if (!result.projectCrsNote.empty()) {
    std::fprintf(stderr, "note: %s\n", result.projectCrsNote.c_str());
  }
  if (!imported) {
    ReportError(error);
    return kExitRefused;
  }
  for (const std::string& text :
       geo::DescribeImport(document, request, result, "--layer chooses another")) {
    std::printf("%s\n", text.c_str());
  }
  return kExitSuccess;
}

}  // namespace mornax::batch
