#include "geo/export_target.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <system_error>
#include <vector>

#include "geo/partial_files.h"

namespace mornax::geo {
namespace {

namespace fs = std::filesystem;

fs::path FolderOf(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The files of the folder whose names start with `stem` followed by a dot:
// the temporary file and whatever sidecars its driver wrote beside it.
std::vector<fs::path> FilesOf(const fs::path& temporary) {
  const std::string prefix = temporary.stem().string() + ".";
  std::vector<fs::path> files;
  std::error_code status;
  for (fs::directory_iterator it(FolderOf(temporary), status), end; !status && it != end;
       it.increment(status)) {
    if (it->path().filename().string().starts_with(prefix)) files.push_back(it->path());
  }
  return files;
}

// What follows the output's stem in the names of files that belong to an
// output of this extension: GIS programs read them with it, so a stale one
// would describe the new file wrongly.
std::vector<std::string> SidecarSuffixes(const fs::path& output) {
  const std::string extension = Lower(output.extension().string());
  std::vector<std::string> suffixes = {extension + ".aux.xml"};
  if (extension == ".shp") {
    for (const char* sidecar : {".shx", ".dbf", ".prj", ".cpg", ".qix", ".sbn", ".sbx", ".qpj"}) {
      suffixes.emplace_back(sidecar);
    }
  } else if (extension == ".asc") {
    suffixes.emplace_back(".prj");
  } else if (extension == ".tif" || extension == ".tiff") {
    suffixes.push_back(extension + ".ovr");
    suffixes.emplace_back(extension == ".tif" ? ".tfw" : ".tiffw");
  } else if (extension == ".gpkg") {
    for (const char* sidecar : {".gpkg-journal", ".gpkg-wal", ".gpkg-shm"}) {
      suffixes.emplace_back(sidecar);
    }
  } else if (extension == ".csv") {
    suffixes.emplace_back(".csvt");
    suffixes.emplace_back(".prj");
  }
  return suffixes;
}

// A file (not a folder) at `path`: part of an old set to keep or remove.
bool FileAt(const fs::path& path) {
  std::error_code status;
  const fs::file_status found = fs::symlink_status(path, status);
  return fs::exists(found) && !fs::is_directory(found);
}

// One file of the new set and the old file at its name, or (without `from`)
// an old sidecar the new set lacks.
struct Replacement {
  enum class Old { kNone, kLinked, kMoved };
  fs::path from;  // the temporary; empty for an old sidecar to remove
  fs::path to;    // the output's name for it
  fs::path kept;  // where the old file waits while the set is replaced
  Old old = Old::kNone;
  bool moved = false;  // `from` is in place as `to`
};

// Keeps the old file at `item.to` under `item.kept`: as a second name, so
// that it stays in place until the new file is renamed over it, or where
// the file system has no hard links (and for sidecars that must go) by a move.
bool KeepAside(Replacement& item, std::string& error) {
  if (!item.from.empty() && ::link(item.to.c_str(), item.kept.c_str()) == 0) {
    item.old = Replacement::Old::kLinked;
    return true;
  }
  std::error_code status;
  fs::rename(item.to, item.kept, status);
  if (status) {
    error = "cannot keep the old " + item.to.string() +
            " aside while replacing it: " + status.message();
    return false;
  }
  item.old = Replacement::Old::kMoved;
  return true;
}

// Puts the old set back after a failed replacement.
void Restore(std::vector<Replacement>& items) {
  for (Replacement& item : items) {
    std::error_code ignored;
    const bool oldAway = item.old == Replacement::Old::kMoved ||
                         (item.old == Replacement::Old::kLinked && item.moved);
    if (oldAway) {
      fs::rename(item.kept, item.to, ignored);
    } else if (item.old == Replacement::Old::kLinked) {
      fs::remove(item.kept, ignored);
    } else if (item.moved) {
      fs::remove(item.to, ignored);
    }
  }
}

}  // namespace

ExportTarget::~ExportTarget() {
  if (prepared_ && !committed_) RemoveTemporaries();
}

bool ExportTarget::Prepare(const fs::path& output, std::string& error) {
  const fs::path folder = FolderOf(output);
  std::error_code status;
  if (!fs::is_directory(folder, status)) {
    error = "the output folder " + folder.string() + " does not exist";
    return false;
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    error = "the output folder " + folder.string() + " is not writable";
    return false;
  }
  output_ = output;
  // The stem carries the process id, so that two exports never share one.
  const std::string stem = NewPartialStem(output.stem().string());
  temporary_ = folder / (stem + output.extension().string());
  onSignal_ = std::make_unique<RemoveOnSignal>(folder, stem + ".");
  RemoveTemporaries();  // leftovers of a killed export with the same id
  swept_ = SweepStalePartials(folder);
  prepared_ = true;
  return true;
}

bool ExportTarget::Commit(std::string& error) {
  const std::string temporaryStem = temporary_.stem().string();
  const std::string outputStem = output_.stem().string();
  const fs::path folder = FolderOf(output_);
  const std::string keptStem = NewPartialStem(outputStem);
  const auto keptName = [&](const std::string& suffix) { return folder / (keptStem + suffix); };

  // The main file last: until it is in place the export is not there.
  std::vector<fs::path> files = FilesOf(temporary_);
  std::erase(files, temporary_);
  files.push_back(temporary_);
  std::vector<Replacement> items;
  for (const fs::path& file : files) {
    const std::string suffix = file.filename().string().substr(temporaryStem.size());
    Replacement item{file, folder / (outputStem + suffix), {}};
    if (FileAt(item.to)) item.kept = keptName(suffix);
    items.push_back(std::move(item));
  }
  // Sidecars of the old output that the new one does not have, in the case
  // GIS programs look for.
  std::vector<Replacement> stale;
  for (const std::string& suffix : SidecarSuffixes(output_)) {
    for (const std::string& variant : {suffix, Upper(suffix)}) {
      const fs::path old = folder / (outputStem + variant);
      const bool replaced = std::any_of(items.begin(), items.end(),
                                        [&](const Replacement& item) { return item.to == old; });
      if (!replaced && FileAt(old) &&
          std::none_of(stale.begin(), stale.end(),
                       [&](const Replacement& item) { return item.to == old; })) {
        stale.push_back({{}, old, keptName(".stale" + variant)});
      }
    }
  }

  // No signal may end the process while the set is half replaced.
  const HoldTerminationSignals hold;
  items.insert(items.begin(), stale.begin(), stale.end());
  for (Replacement& item : items) {
    if (!item.kept.empty() && !KeepAside(item, error)) {
      Restore(items);
      return false;
    }
  }
  for (Replacement& item : items) {
    if (item.from.empty()) continue;
    std::error_code status;
    fs::rename(item.from, item.to, status);
    if (status) {
      Restore(items);
      error = "cannot move the finished export into place as " + item.to.string() + ": " +
              status.message() + " (the old files are kept)";
      return false;
    }
    item.moved = true;
  }
  for (const Replacement& item : items) {
    std::error_code ignored;
    if (item.old != Replacement::Old::kNone) fs::remove(item.kept, ignored);
  }
  committed_ = true;
  return true;
}

void ExportTarget::RemoveTemporaries() const {
  for (const fs::path& file : FilesOf(temporary_)) {
    std::error_code ignored;
    fs::remove(file, ignored);
  }
}

}  // namespace mornax::geo
