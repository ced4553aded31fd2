#include "document_commands.h"

#include <cstdio>
#include <filesystem>

#include "crs_command.h"
#include "exit_status.h"

namespace mornax::batch {

void ReportError(const std::string& message) {
  std::fprintf(stderr, "mornax-batch: %s\n", message.c_str());
}

bool ApplyAssignments(const std::vector<std::string>& assignments, project::Records& records,
                      std::string& error) {
  project::Records changed = records;
  for (const std::string& assignment : assignments) {
    const auto equals = assignment.find('=');
    const std::string_view text(assignment);
    if (!project::SetField(changed, text.substr(0, equals), text.substr(equals + 1), error)) {
      return false;
    }
  }
  records = changed;
  return true;
}

int NewDocument(const Invocation& invocation) {
  const std::filesystem::path path(invocation.project);
  // A document whose name the records cannot hold could never be run.
  project::Records records;
  project::FileSet files;
  std::string error;
  if (!project::SetFileNames(path.filename().string(), records.fileName, files, error)) {
    ReportError(error);
    return kExitUsage;
  }
  std::error_code status;
  if (!invocation.force && std::filesystem::exists(path, status)) {
    ReportError(invocation.project + " exists already (--force overwrites it)");
    return kExitUsage;
  }
  project::SetDefaults(records);
  if (!project::WriteDocumentFile(path, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  return kExitSuccess;
}

int ShowDocument(const Invocation& invocation) {
  project::Records records;
  project::SetDefaults(records);
  std::string error;
  if (!project::ReadDocumentFile(invocation.project, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  for (const project::FieldInfo& field : project::Fields()) {
    std::printf("%s = %s\n", std::string(field.name).c_str(),
                project::FieldValue(records, field).c_str());
  }
  return ShowProjectCrs(invocation.project);
}

int SetDocumentFields(const Invocation& invocation) {
  project::Records records;
  project::SetDefaults(records);
  std::string error;
  if (!project::ReadDocumentFile(invocation.project, records, error) ||
      !ApplyAssignments(invocation.assignments, records, error) ||
      !project::WriteDocumentFile(invocation.project, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  return kExitSuccess;
}

}  // namespace mornax::batch
