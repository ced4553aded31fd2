// GDAL set up once per process: every driver registered and GDAL's own
// messages captured instead of printed, so that each command reports in its
// own words.
#pragma once

#include <cpl_error.h>

#include <string>

namespace mornax::geo {

// Registers GDAL's drivers (once) and routes its error messages to a buffer.
void EnsureGdal();

// The last message GDAL reported since the previous call, or an empty string;
// the buffer is cleared.
std::string TakeGdalMessage();

// Counts the failures GDAL reports on this thread while the watch lives (a
// read that GDAL cut short still ends as if the data had ended), keeping the
// latest one's text. Messages still reach TakeGdalMessage.
class GdalFailureWatch {
 public:
  GdalFailureWatch();
  ~GdalFailureWatch();
  GdalFailureWatch(const GdalFailureWatch&) = delete;
  GdalFailureWatch& operator=(const GdalFailureWatch&) = delete;

  int failures() const { return failures_; }
  const std::string& last() const { return last_; }

 private:
  static void CPL_STDCALL Handle(CPLErr level, CPLErrorNum number, const char* text);

  int failures_ = 0;
  std::string last_;
};

}  // namespace mornax::geo
