// An import into a project, as the batch tool's import command and the
// program's File > Import Points do it: the project's coordinate system read,
// the points read from the source, a system the project lacks taken from the
// source, and the data section of the project's data file written.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "geo/point_import.h"

namespace mornax::geo {

struct ProjectImport {
  ImportReport report;
  std::filesystem::path dataFile;
  std::size_t taken = 0;       // the points written
  bool guesses = false;        // with a guess each
  bool networkKept = false;    // the data file's network stayed; else an empty one
  bool storedCrs = false;      // the source's system became the project's
  std::string projectCrsNote;  // a note about the project's stored system, else empty
};

// Imports `request` (its projectCrs is set here from the document's store)
// into the project of `document`, titled `title`, else the old title, else
// "Points from SOURCE". When the data file cannot be written, a system taken
// from the source is removed again. False with `error` when anything was
// refused; no file then changed.
bool ImportIntoProject(const std::filesystem::path& document, ImportRequest request,
                       const std::optional<std::string>& title, ProjectImport& result,
                       std::string& error);

// The report of an import, line by line: what was read, taken and dropped
// (with examples), the coordinate system, the data file written. `layerHint`
// says how to choose another layer of a source of several.
std::vector<std::string> DescribeImport(const std::filesystem::path& document,
                                        const ImportRequest& request, const ProjectImport& result,
                                        const std::string& layerHint);

}  // namespace mornax::geo
