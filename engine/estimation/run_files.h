// The files of one interpolation run: the data file in, the result files out.
//
// The result files are written under temporary names and replace the earlier
// results only when the run ends having written its records (FinishRun); a
// run that ends before its first record leaves every earlier result file as
// it was.
#pragma once

#include <string>
#include <string_view>

#include "core/run_env.h"
#include "estimation/point_stream.h"
#include "io/free_reader.h"
#include "io/record_file.h"

namespace mornax {

struct RunFiles {
  io::FreeFormReader data;  // BASE.dfl
  io::RecordFile lst;       // error analysis (and the trend-surface report)
  io::RecordFile lev;       // interpolation: level list and estimates
  io::RecordFile dat;       // interpolation: one record per network point
  io::RecordFile wl;        // interpolation: x, y, estimate

  // Opens the data file ("Cannot open input file : BASE.dfl" when it cannot
  // be opened), then starts .lst with the run title as its first line when
  // `withList`, then .lev, .dat and .wl when `withNetwork`. The first result
  // file that cannot be started ends the opening with "Cannot open Output
  // files". On a failure every file is closed, nothing is left behind and
  // false is returned.
  bool Open(const RunEnv& env, std::string_view title, bool withList, bool withNetwork);

  // Closes every file; result files not committed are discarded.
  void Close();
};

// How the point loop of a run ended.
struct RunEnd {
  LoopEnd end = LoopEnd::kCompleted;
  int readStatus = 0;      // a failed read of the data file (0: none)
  std::string readDetail;  // where it failed and what it wanted
  long long written = 0;   // points whose records were written
};

// End of run: a nonzero read status is shown with the input-file wording for
// the data file. The result files replace the earlier ones when the run wrote
// records, or completed without a read failure; otherwise they are discarded.
// A stop is recorded for the closing line. Every file is closed.
void FinishRun(const RunEnv& env, RunFiles& files, const RunEnd& end);

}  // namespace mornax
