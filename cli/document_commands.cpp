#include "document_commands.h"

#include <cstdio>
#include <filesystem>

#include "crs_command.h"
#include "exit_status.h"

namespace mornax::batch {

void ReportError(const std::string& message) {
  std::fprintf(stderr, "mornax-batch: %s\n", message.c_str());
}

bool ReadDocument(const std::string& document, project::Records& records, std::string& error) {
  project::SetDefaults(records);
  if (project::ReadDocumentFile(document, records, error)) return true;
  std::error_code status;
  if (!std::filesystem::exists(document, status)) {
    error = "Cannot open document " + document + ": there is no such file (mornax-batch new " +
            document + " creates it)";
  }
  return false;
}

bool ApplyAssignments(const std::vector<std::string>& assignments, project::Records& records,
                      std::string& error) {
  project::Records changed = records;
  for (const std::string& assignment : assignments) {
    const auto equals = assignment.find('=');
    const std::string_view text(assignment);
    const std::string_view name = text.substr(0, equals);
    if (!project::SetField(changed, name, text.substr(equals + 1), error)) {
      if (project::FindField(name) == nullptr) error += " (mornax-batch help set lists the fields)";
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
  std::string error;
  if (!ReadDocument(invocation.project, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  auto print = [&records](const project::FieldInfo& field) {
    std::printf("%s = %s\n", std::string(field.name).c_str(),
                project::FieldValue(records, field).c_str());
  };
  for (const project::FieldInfo& field : project::Fields()) print(field);
  // The model terms are listed once one of them is set.
  if (!records.terms.IsDefault()) {
    for (const project::FieldInfo& field : project::TermFields()) print(field);
  }
  return ShowProjectCrs(invocation.project);
}

int SetDocumentFields(const Invocation& invocation) {
  project::Records records;
  std::string error;
  if (!ReadDocument(invocation.project, records, error) ||
      !ApplyAssignments(invocation.assignments, records, error) ||
      !project::WriteDocumentFile(invocation.project, records, error)) {
    ReportError(error);
    return kExitUsage;
  }
  return kExitSuccess;
}

}  // namespace mornax::batch
