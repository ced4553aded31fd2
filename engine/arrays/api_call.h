// What every call of the in-memory interface shares: its messages (collected
// into the call's report, the caller's hooks asked), the run environment the
// engine code works in, and the points copied in.
#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>
#include <vector>

#include "api/mornax_arrays.h"
#include "core/messages.h"
#include "core/run_env.h"
#include "estimation/data_points.h"

namespace mornax::arrays {

// The messages of one call: message boxes become the report's messages (and
// go to the message hook); progress lines and standard-output lines belong to
// the file tasks' windows and are dropped; counts go to the progress hook;
// the stop hook is asked at most about fifty times a second.
class CallMessages : public Messages {
 public:
  CallMessages(const api::Hooks& hooks, api::Report& report) : hooks_(hooks), report_(report) {}

  void AddLine(int, std::string_view) override {}
  void ShowMessage(std::string_view text) override {
    Notify(api::MessageCode::kUnclassified, text);
  }
  void Notify(api::MessageCode code, std::string_view text) override;
  bool PollCancel() override;
  void WriteOutput(std::string_view) override {}
  void Count(std::int64_t done, std::int64_t total) override;

 private:
  const api::Hooks& hooks_;
  api::Report& report_;
  bool stopped_ = false;
  bool asked_ = false;
  int sinceCheck_ = 0;
  std::chrono::steady_clock::time_point lastAsked_{};
};

// One call: its messages and the environment of the engine code it runs.
class Call {
 public:
  Call(const api::Hooks& hooks, api::Report& report)
      : report_(report),
        messages_(hooks, report),
        env_(messages_, std::string(), 0, ResolveRunOptions(hooks.threads)) {}

  const RunEnv& env() const { return env_; }
  api::Report& report() { return report_; }
  // Ends the call with `outcome` unless an earlier end was recorded.
  void End(api::Outcome outcome) {
    if (report_.outcome == api::Outcome::kCompleted) report_.outcome = outcome;
  }

 private:
  api::Report& report_;
  CallMessages messages_;
  RunEnv env_;
};

// Refuses the call after a failed check (the check showed its message).
inline bool Accepted(Call& call, bool checked) {
  if (!checked) call.End(api::Outcome::kRefused);
  return checked;
}

// The points of a call, copied: the data set the engine code works on.
struct OwnedPoints {
  std::vector<double> x, y, z, guess;
  // Each point's place in the input (after merging: of the remaining ones).
  std::vector<std::int32_t> origin;
  std::int64_t given = 0;  // points given
  DataSet data;
};

struct CopyOptions {
  bool guess = false;      // a guess at every point is needed
  bool subtract = false;   // the value is |value - guess| (needs the guess)
  bool logValues = false;  // values as natural logarithms (data.firstWithoutLogarithm)
};

// Checks and copies the points as the data file's reader would take them:
// some points, arrays of one length, a guess where needed, every value within
// the usable magnitude. False after the message (the call is refused).
bool CopyPoints(Call& call, const api::Points& points, const CopyOptions& options,
                OwnedPoints& out);

// Checks the nodes: arrays of one length, and a guess at every node where
// needed. False after the message.
bool CheckNodes(Call& call, const api::Nodes& nodes, bool guess);

// Appends `later`'s messages and counts to `report` and takes its outcome
// when `report` completed.
void Append(api::Report& report, const api::Report& later);

}  // namespace mornax::arrays
