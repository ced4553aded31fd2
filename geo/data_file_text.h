// The data file (.dfl) read by the engine's own reader (through the in-memory
// interface), for the positions that the result files round: the title, the
// data points and the network.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mornax::geo {

struct DataFileText {
  std::string title;  // line 1, first 72 characters, trailing blanks removed
  std::vector<double> dataX, dataY;
  std::vector<double> dataZ;  // the measured values
  std::vector<double> networkX, networkY;
  bool networkRead = false;  // the network count and every network point were read
};

// Reads `path` as a run reads it. A data point takes `dataNumbers` numbers
// (3, or 4 when the guess is read), a network point `networkNumbers` (2 or
// 3). False when the title or the data points cannot be read; a network that
// cannot be read leaves `networkRead` false. Without `withNetwork` the
// network is not read (nor held).
bool ReadDataFileText(const std::filesystem::path& path, int dataNumbers, int networkNumbers,
                      DataFileText& contents, bool withNetwork = true);

}  // namespace mornax::geo
