// The sections of a project's data file as the engine's free-form reads find
// them: line 1 the title, then the point count N and N records of x, y, z
// (a fourth number is the point's guess), then the network. The commands that
// rewrite one section copy the other byte for byte, so only positions and the
// coordinates are taken here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mornax::geo {

struct DataSection {
  std::string title;            // line 1 without its line end
  std::string lineEnd = "\n";   // the line end of line 1 ("\r\n" or "\n")
  std::int64_t count = 0;       // N
  std::uintmax_t end = 0;       // byte offset of the network section
  bool endsWithLineEnd = true;  // the data section's last line has its line end
  bool guesses = false;         // every data record carries a fourth number
  std::vector<double> x;        // per data point; NaN where the record gives none
  std::vector<double> y;
};

// Reads the title, the count and the data records of `dataFile` with the
// engine's free-form rules (a record may go on over several lines; the rest of
// the line after its third number is ignored), stopping where the network
// count begins. False with `error` naming the file, the line and the point when
// the file is missing, empty, malformed or ends inside its data points.
bool ScanDataSection(const std::filesystem::path& dataFile, DataSection& section,
                     std::string& error);

// The data file of a document, found as the engine finds it: the exact name,
// else the same name in another case (SITE1.DFL).
std::filesystem::path FindDataFile(const std::filesystem::path& document);

}  // namespace mornax::geo
