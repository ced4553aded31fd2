#include "interpolation/run_files.h"

#include <string>

#include "driver/engine_state.h"

namespace mornax {

bool RunFiles::Open(const RunEnv& env, std::string_view title, bool withList, bool withNetwork) {
  data.Open(env.File(".dfl"));
  bool opened = true;
  if (withList) {
    opened = lst.Create(env.File(".lst"));
    if (opened) {
      std::string line(title.substr(0, kTitleLength));
      line.resize(kTitleLength, ' ');
      lst.WriteFreeText(line);
    }
  }
  if (opened && withNetwork) {
    opened =
        lev.Create(env.File(".lev")) && dat.Create(env.File(".dat")) && wl.Create(env.File(".wl"));
  }
  if (!opened) {
    env.Error("Cannot open Output files");
    Close();
  }
  return opened;
}

void RunFiles::Close() {
  data.Close();
  lst.Close();
  lev.Close();
  dat.Close();
  wl.Close();
}

void FinishRun(const RunEnv& env, RunFiles& files, int readStatus) {
  if (readStatus != 0) env.InputError(readStatus, env.File(".dfl"));
  files.Close();
}

}  // namespace mornax
