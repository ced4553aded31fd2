#include "estimation/run_files.h"

#include <string>

#include "core/engine_state.h"
#include "io/read_title.h"

namespace mornax {
namespace {

// Commits every started result file; false when one could not be written.
// Every file is closed and checked first, so that a full disk replaces none
// of the earlier results.
bool CommitAll(RunFiles& files) {
  const auto results = {&files.lst, &files.lev, &files.dat, &files.wl};
  for (io::RecordFile* file : results) {
    file->Close();
    if (file->Pending() && file->Failed()) return false;
  }
  bool ok = true;
  for (io::RecordFile* file : results) {
    if (file->Pending() && !file->Commit()) ok = false;
  }
  return ok;
}

}  // namespace

bool RunFiles::Open(const RunEnv& env, std::string_view title, bool withList, bool withNetwork) {
  if (!data.Open(env.Path(".dfl"))) {
    env.Error(api::MessageCode::kCannotOpenInput, "Cannot open input file : " + env.File(".dfl"));
    return false;
  }
  bool opened = true;
  if (withList) {
    opened = lst.Create(env.Path(".lst"));
    if (opened) {
      lst.WriteFreeText(PaddedTitle(title));
    }
  }
  if (opened && withNetwork) {
    opened =
        lev.Create(env.Path(".lev")) && dat.Create(env.Path(".dat")) && wl.Create(env.Path(".wl"));
  }
  if (!opened) {
    env.Error(api::MessageCode::kCannotOpenOutput, "Cannot open Output files");
    Close();
  }
  return opened;
}

void RunFiles::Close() {
  data.Close();
  lst.Discard();
  lev.Discard();
  dat.Discard();
  wl.Discard();
}

void FinishRun(const RunEnv& env, RunFiles& files, const RunEnd& end) {
  const bool cancelled = end.end == LoopEnd::kCancelled;
  if (!cancelled && end.readStatus != 0) {
    env.InputError(end.readStatus, env.File(".dfl"), end.readDetail);
  }
  const bool keep = end.written > 0 || (end.end == LoopEnd::kCompleted && end.readStatus == 0);
  long long kept = 0;
  if (keep) {
    if (CommitAll(files)) {
      kept = end.written;
    } else {
      env.Error(api::MessageCode::kCannotWriteOutput, "Cannot write Output files");
    }
  }
  if (cancelled) env.NoteStopped(kept);
  files.Close();
}

}  // namespace mornax
