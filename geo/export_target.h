// An export written under a temporary name beside its output and renamed into
// place once complete, so that a failed export leaves every existing file as
// it was. Formats of several files (a shapefile's .shp, .shx, .dbf, .prj) move
// together.
#pragma once

#include <filesystem>
#include <string>

namespace mornax::geo {

class ExportTarget {
 public:
  ExportTarget() = default;
  ~ExportTarget();  // removes the temporary files unless committed
  ExportTarget(const ExportTarget&) = delete;
  ExportTarget& operator=(const ExportTarget&) = delete;

  // Chooses the temporary name for `output`. False with `error` naming the
  // folder when it does not exist or cannot be written.
  bool Prepare(const std::filesystem::path& output, std::string& error);

  // Where the driver is to write: same folder and extension as the output.
  const std::filesystem::path& temporary() const { return temporary_; }

  // Renames every file written under the temporary name to the output's
  // name. False with `error` set when a rename fails.
  bool Commit(std::string& error);

 private:
  void RemoveTemporaries() const;

  std::filesystem::path output_;
  std::filesystem::path temporary_;
  bool prepared_ = false;
  bool committed_ = false;
};

}  // namespace mornax::geo
