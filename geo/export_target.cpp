#include "geo/export_target.h"

#include <unistd.h>

#include <system_error>
#include <vector>

namespace mornax::geo {
namespace {

std::filesystem::path FolderOf(const std::filesystem::path& path) {
  return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

// The files of the folder whose names start with `stem` followed by a dot:
// the temporary file and whatever sidecars its driver wrote beside it.
std::vector<std::filesystem::path> FilesOf(const std::filesystem::path& temporary) {
  const std::string prefix = temporary.stem().string() + ".";
  std::vector<std::filesystem::path> files;
  std::error_code status;
  for (std::filesystem::directory_iterator it(FolderOf(temporary), status), end;
       !status && it != end; it.increment(status)) {
    if (it->path().filename().string().starts_with(prefix)) files.push_back(it->path());
  }
  return files;
}

}  // namespace

ExportTarget::~ExportTarget() {
  if (prepared_ && !committed_) RemoveTemporaries();
}

bool ExportTarget::Prepare(const std::filesystem::path& output, std::string& error) {
  const std::filesystem::path folder = FolderOf(output);
  std::error_code status;
  if (!std::filesystem::is_directory(folder, status)) {
    error = "the output folder " + folder.string() + " does not exist";
    return false;
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    error = "the output folder " + folder.string() + " is not writable";
    return false;
  }
  output_ = output;
  // The stem carries the process id, so that two exports never share one.
  const std::string stem =
      output.stem().string() + ".mornax-partial-" + std::to_string(static_cast<long>(::getpid()));
  temporary_ = folder / (stem + output.extension().string());
  RemoveTemporaries();  // leftovers of a killed export with the same id
  prepared_ = true;
  return true;
}

bool ExportTarget::Commit(std::string& error) {
  const std::string temporaryStem = temporary_.stem().string();
  const std::string outputStem = output_.stem().string();
  const std::filesystem::path folder = FolderOf(output_);
  // The main file last: until it is in place the export is not there.
  std::vector<std::filesystem::path> files = FilesOf(temporary_);
  std::erase(files, temporary_);
  files.push_back(temporary_);
  for (const std::filesystem::path& file : files) {
    const std::string name = file.filename().string();
    const std::filesystem::path destination =
        folder / (outputStem + name.substr(temporaryStem.size()));
    std::error_code status;
    std::filesystem::rename(file, destination, status);
    if (status) {
      error = "cannot move the finished export into place as " + destination.string() + ": " +
              status.message();
      return false;
    }
  }
  committed_ = true;
  return true;
}

void ExportTarget::RemoveTemporaries() const {
  for (const std::filesystem::path& file : FilesOf(temporary_)) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
  }
}

}  // namespace mornax::geo
