// An export written under a temporary name beside its output and renamed into
// place once complete, so that a failed export leaves every existing file as
// it was. Formats of several files (a shapefile's .shp, .shx, .dbf, .prj) are
// replaced as one set: every file is renamed into place or, when one rename
// fails, every old file is put back; sidecars of the old output that the new
// one does not write (a .prj after the system was removed, a GeoPackage's
// journal) go with the replacement. The temporaries (named by the system's
// rule, engine/api/mornax_files.h) are removed on failure,
// on SIGINT, SIGTERM and SIGHUP, and (when their process is gone) by the
// next export into the folder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "geo/signal_cleanup.h"

namespace mornax::geo {

class ExportTarget {
 public:
  ExportTarget() = default;
  ~ExportTarget();  // removes the temporary files unless committed
  ExportTarget(const ExportTarget&) = delete;
  ExportTarget& operator=(const ExportTarget&) = delete;

  // Chooses the temporary name for `output` and sweeps the temporaries that
  // killed exports left in its folder. False with `error` naming the folder
  // when it does not exist or cannot be written.
  bool Prepare(const std::filesystem::path& output, std::string& error);

  // Where the driver is to write: same folder and extension as the output.
  const std::filesystem::path& temporary() const { return temporary_; }

  // How many leftovers of killed exports Prepare removed.
  std::size_t swept() const { return swept_; }

  // Replaces the output's set of files by every file written under the
  // temporary name. False with `error` set, and the old set in place, when
  // a rename fails.
  bool Commit(std::string& error);

 private:
  void RemoveTemporaries() const;

  std::filesystem::path output_;
  std::filesystem::path temporary_;
  std::unique_ptr<RemoveOnSignal> onSignal_;
  std::size_t swept_ = 0;
  bool prepared_ = false;
  bool committed_ = false;
};

}  // namespace mornax::geo
