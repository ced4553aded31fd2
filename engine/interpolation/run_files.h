// The files of one interpolation run: the data file in, the result files out.
#pragma once

#include <string_view>

#include "driver/run_env.h"
#include "io/free_reader.h"
#include "io/record_file.h"

namespace mornax {

struct RunFiles {
  io::FreeFormReader data;  // BASE.dfl
  io::RecordFile lst;       // error analysis (and the trend-surface report)
  io::RecordFile lev;       // interpolation: level list and estimates
  io::RecordFile dat;       // interpolation: one record per network point
  io::RecordFile wl;        // interpolation: x, y, estimate

  // Opens the data file (a missing one meets the end of the file at its first
  // read), then .lst with the run title as its first line when `withList`,
  // then .lev, .dat and .wl when `withNetwork`. The first result file that
  // cannot be opened ends the opening with "Cannot open Output files"; every
  // file is closed again and false is returned.
  bool Open(const RunEnv& env, std::string_view title, bool withList, bool withNetwork);

  // Closes every file; closing one that was not opened does nothing.
  void Close();
};

// End of run: a nonzero read status is shown with the input-file wording for
// the data file, then every file is closed (the result files are kept).
void FinishRun(const RunEnv& env, RunFiles& files, int readStatus);

}  // namespace mornax
