#include "geo/result_files.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>

#include "engine/api/mornax_arrays.h"
#include "geo/data_file_text.h"
#include "geo/file_case.h"
#include "geo/text_lines.h"

namespace mornax::geo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Column {
  std::size_t begin;
  std::size_t width;
};

// Columns of a .dat record per method, and the rounding of its positions.
struct DatLayout {
  Column x, y, estimate;
  Column standardError;  // width 0 when the method writes none
  Column guess;          // width 0 when the method writes none
  double positionRounding;
  std::size_t recordWidth;
};

// (3F15.5,I5): x, y, estimate, point number.
constexpr DatLayout kWeightingDat{{0, 15}, {15, 15}, {30, 15}, {0, 0}, {0, 0}, 5e-6, 50};
// (2X,2F15.1,2F15.5): x, y, estimate, standard error.
constexpr DatLayout kKrigingDat{{2, 15}, {17, 15}, {32, 15}, {47, 15}, {0, 0}, 0.05, 62};
// (2F15.1,3F15.5): x, y, estimate, guess, standard error.
constexpr DatLayout kBayesDat{{0, 15}, {15, 15}, {30, 15}, {60, 15}, {45, 15}, 0.05, 75};
// (3F15.5): x, y, estimate.
constexpr double kWlRounding = 5e-6;
constexpr std::size_t kWlRecordWidth = 45;
// The level count's field (I5) holds at most this.
constexpr double kMostLevelCount = 99999.0;

std::string FileName(const std::filesystem::path& path) {
  return path.filename().string();
}

// Reads one field into `value`: NaN for a missing or blank field. False for
// text that is not a number.
bool TakeField(std::string_view line, Column column, double& value) {
  value = kNaN;
  if (column.width == 0) return true;
  double parsed = 0.0;
  switch (ParseField(line, column.begin, column.width, parsed)) {
    case FieldKind::kNumber:
      value = parsed;
      return true;
    case FieldKind::kMissing:
    case FieldKind::kBlank:
      return true;
    case FieldKind::kBad:
      return false;
  }
  return false;
}

std::string LineError(const std::filesystem::path& path, long line, std::string_view what) {
  return FileName(path) + " line " + std::to_string(line) + ": " + std::string(what);
}

// The engine ends every record with a line end and writes each at its full
// width: a last line without its end that is shorter than a record was cut
// while it was written (its last number may have lost digits: 80.69792
// cut to 8).
bool IsCutRecord(const TextLines& lines, std::string_view line, std::size_t recordWidth) {
  return !lines.lineEnded() && line.size() < recordWidth;
}

std::string CutRecordText(const std::filesystem::path& path, const TextLines& lines,
                          std::string_view line, std::size_t recordWidth) {
  return FileName(path) + " ends inside a record: line " + std::to_string(lines.lineNumber()) +
         " holds " + std::to_string(line.size()) + " of the " + std::to_string(recordWidth) +
         " characters of a record (the file is cut)";
}

// The .dat header "(3I5,A...)": three counts and " ;" in columns 16-17, then
// the method's column labels.
bool ParseDatHeader(std::string_view header, ResultMethod& method) {
  if (header.size() < 17 || header.substr(15, 2) != " ;") return false;
  const std::string_view labels = header.substr(17);
  if (labels.find("GUESS") != std::string_view::npos) {
    method = ResultMethod::kBayes;
  } else if (labels.find("STD") != std::string_view::npos) {
    method = ResultMethod::kKriging;
  } else if (Trim(labels).empty()) {
    method = ResultMethod::kWeighting;
  } else {
    return false;
  }
  return true;
}

const DatLayout& LayoutOf(ResultMethod method) {
  switch (method) {
    case ResultMethod::kKriging:
      return kKrigingDat;
    case ResultMethod::kBayes:
      return kBayesDat;
    default:
      return kWeightingDat;
  }
}

// The records of a .dat file one at a time.
class DatReader {
 public:
  explicit DatReader(const std::filesystem::path& path) : path_(path), lines_(path) {}

  // Opens the file and reads its header; false with `error` set.
  bool Open(std::string& error) {
    if (!lines_.IsOpen()) {
      error = "cannot open " + FileName(path_);
      return false;
    }
    std::string line;
    if (!lines_.Next(line)) {
      error = FileName(path_) + " is empty: the last interpolation had no network points";
      return false;
    }
    if (!ParseDatHeader(line, method_)) {
      error = LineError(path_, 1, "not the header of interpolation results");
      return false;
    }
    layout_ = &LayoutOf(method_);
    return true;
  }

  enum class Read { kRecord, kEnd, kCut, kBad };
  // The next record; kCut (with `cut` saying so) for a last record cut
  // short, kBad (with `error`) for a line that is no record.
  Read Next(NetworkRecord& record, std::string& cut, std::string& error) {
    std::string& line = line_;
    while (lines_.Next(line)) {
      if (Trim(line).empty()) continue;
      if (IsCutRecord(lines_, line, layout_->recordWidth)) {
        cut = CutRecordText(path_, lines_, line, layout_->recordWidth);
        return Read::kCut;
      }
      if (!TakeField(line, layout_->x, record.x) || !TakeField(line, layout_->y, record.y) ||
          !TakeField(line, layout_->estimate, record.estimate) ||
          !TakeField(line, layout_->standardError, record.standardError) ||
          !TakeField(line, layout_->guess, record.guess)) {
        error = LineError(path_, lines_.lineNumber(),
                          "not a record of " + std::string(MethodName(method_)) + " results: '" +
                              std::string(Trim(line)) + "'");
        return Read::kBad;
      }
      return Read::kRecord;
    }
    return Read::kEnd;
  }

  ResultMethod method() const { return method_; }
  const DatLayout& layout() const { return *layout_; }

 private:
  std::filesystem::path path_;
  TextLines lines_;
  std::string line_;
  ResultMethod method_ = ResultMethod::kUnknown;
  const DatLayout* layout_ = &kWeightingDat;
};

bool ReadDat(const std::filesystem::path& path, NetworkResults& results, std::string& error) {
  DatReader reader(path);
  if (!reader.Open(error)) return false;
  results.method = reader.method();
  const DatLayout& layout = reader.layout();
  const bool hasStd = layout.standardError.width > 0;
  const bool hasGuess = layout.guess.width > 0;
  // Room for the records the file's size allows, so that the columns do not
  // grow by doubling.
  std::error_code status;
  const std::uintmax_t bytes = std::filesystem::file_size(path, status);
  if (!status) {
    const std::size_t records = static_cast<std::size_t>(bytes / (layout.recordWidth + 1)) + 1;
    results.x.reserve(records);
    results.y.reserve(records);
    results.estimate.reserve(records);
    if (hasStd) results.standardError.reserve(records);
    if (hasGuess) results.guess.reserve(records);
  }
  NetworkRecord record;
  std::string cut;
  for (;;) {
    const DatReader::Read read = reader.Next(record, cut, error);
    if (read == DatReader::Read::kBad) return false;
    if (read == DatReader::Read::kCut) {
      results.warnings.push_back(cut + "; that record is left out");
      results.cutFile = FileName(path);
    }
    if (read != DatReader::Read::kRecord) break;
    results.x.push_back(record.x);
    results.y.push_back(record.y);
    results.estimate.push_back(record.estimate);
    if (hasStd) results.standardError.push_back(record.standardError);
    if (hasGuess) results.guess.push_back(record.guess);
  }
  results.recordCount = results.x.size();
  results.positionRounding = layout.positionRounding;
  results.positionSource = FileName(path);
  return true;
}

bool Near(double a, double b, double tolerance) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) == std::isnan(b);
  return std::abs(a - b) <= tolerance + 1e-12 * std::max(std::abs(a), std::abs(b));
}

// Takes the .wl positions (five decimals) when the file holds the same points
// and estimates as the .dat file. After a cut .dat file the .wl file may
// hold the record the .dat file lost; a cut last .wl record is no record.
void TakeWlPositions(const std::filesystem::path& path, NetworkResults& results) {
  TextLines lines(path);
  if (!lines.IsOpen()) return;
  std::vector<double> x, y;
  x.reserve(results.size());
  y.reserve(results.size());
  std::string line;
  bool matches = true;
  bool cut = false;
  std::size_t k = 0;
  const double tolerance = results.positionRounding + kWlRounding;
  while (matches && lines.Next(line)) {
    if (Trim(line).empty()) continue;
    if (IsCutRecord(lines, line, kWlRecordWidth)) {
      cut = true;
      break;
    }
    if (k == results.size()) {
      matches = !results.cutFile.empty();
      break;
    }
    double px = 0.0, py = 0.0, estimate = 0.0;
    matches = TakeField(line, {0, 15}, px) && TakeField(line, {15, 15}, py) &&
              TakeField(line, {30, 15}, estimate) && Near(px, results.x[k], tolerance) &&
              Near(py, results.y[k], tolerance) && Near(estimate, results.estimate[k], 1e-5);
    x.push_back(std::isnan(px) ? results.x[k] : px);
    y.push_back(std::isnan(py) ? results.y[k] : py);
    ++k;
  }
  if (!matches || k != results.size()) {
    const std::string why = cut && matches ? FileName(path) + " ends inside a record"
                                           : FileName(path) + " does not hold the points of " +
                                                 results.positionSource + " (another run?)";
    results.warnings.push_back(why + "; positions from " + results.positionSource);
    return;
  }
  results.x = std::move(x);
  results.y = std::move(y);
  results.positionRounding = kWlRounding;
  results.positionSource = FileName(path);
}

int DataNumbers(ResultMethod method) {
  return method == ResultMethod::kBayes ? 4 : 3;
}

// Takes the data file's network positions (every digit the user typed) when
// they match the results within their rounding, and pads results that stop
// short of that network with missing points. False with `problem` set when
// the network does not match.
bool TakeNetworkPositions(const std::filesystem::path& path, DataFileText& data,
                          NetworkResults& results, std::string& problem) {
  if (!data.networkRead) {
    problem = "the network of " + FileName(path) + " cannot be read";
    return false;
  }
  const std::size_t written = results.size();
  bool matches = data.networkX.size() >= written;
  for (std::size_t i = 0; matches && i < written; ++i) {
    matches = Near(data.networkX[i], results.x[i], results.positionRounding) &&
              Near(data.networkY[i], results.y[i], results.positionRounding);
  }
  if (!matches) {
    problem = "the network of " + FileName(path) + " has changed since the last interpolation";
    return false;
  }
  results.x = std::move(data.networkX);
  results.y = std::move(data.networkY);
  results.positionRounding = 0.0;
  results.positionSource = FileName(path);
  const std::size_t total = results.x.size();
  if (written < total) {
    const std::string cause =
        results.cutFile.empty() ? " (a stopped run?)" : " (" + results.cutFile + " is cut)";
    results.warnings.push_back("the results hold " + std::to_string(written) + " of the " +
                               std::to_string(total) + " network points" + cause + "; the other " +
                               std::to_string(total - written) + " are missing");
    results.estimate.resize(total, kNaN);
    if (!results.standardError.empty()) results.standardError.resize(total, kNaN);
    if (!results.guess.empty()) results.guess.resize(total, kNaN);
  }
  return true;
}

// The header line of the error table, per method, blanks trimmed.
struct LstLayout {
  ResultMethod method;
  std::string_view header;
  Column x, y, measured, estimated, error, standardError;
  double positionRounding;
  std::size_t rowWidth;
};

constexpr LstLayout kLstLayouts[] = {
    // (5X,5F10.2)
    {ResultMethod::kWeighting,
     "X          Y            Z         Z*      Z-Z*",
     {5, 10},
     {15, 10},
     {25, 10},
     {35, 10},
     {45, 10},
     {0, 0},
     0.005,
     55},
    // (5X,5F11.2)
    {ResultMethod::kKriging,
     "X        Y         Z          Z*        Z-Z*",
     {5, 11},
     {16, 11},
     {27, 11},
     {38, 11},
     {49, 11},
     {0, 0},
     0.005,
     60},
    // (2F15.1,5F10.2): x, y, measured, guess, estimate, error, standard error
    {ResultMethod::kBayes,
     "X              Y            Z      GUESS       Z*         Z-Z*      STD",
     {0, 15},
     {15, 15},
     {30, 10},
     {50, 10},
     {60, 10},
     {70, 10},
     0.05,
     80},
};

const LstLayout* FindLstLayout(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  for (const LstLayout& layout : kLstLayouts) {
    if (trimmed == layout.header) return &layout;
  }
  return nullptr;
}

// The data points as the method holds them: coincident points merged into
// the first (kriging and Bayesian estimation).
void MergedDataPositions(const DataFileText& data, ResultMethod method, std::vector<double>& x,
                         std::vector<double>& y) {
  x = data.dataX;
  y = data.dataY;
  if (method == ResultMethod::kWeighting) return;
  std::size_t n = x.size();
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t j = i + 1;
    while (j < n) {
      if (x[j] == x[i] && y[j] == y[i]) {
        x.erase(x.begin() + static_cast<std::ptrdiff_t>(j));
        y.erase(y.begin() + static_cast<std::ptrdiff_t>(j));
        --n;
      } else {
        ++j;
      }
    }
  }
}

}  // namespace

std::string_view MethodName(ResultMethod method) {
  switch (method) {
    case ResultMethod::kWeighting:
      return "distance weighting";
    case ResultMethod::kKriging:
      return "kriging";
    case ResultMethod::kBayes:
      return "Bayesian estimation";
    case ResultMethod::kUnknown:
      break;
  }
  return "unknown method";
}

std::filesystem::path ProjectFiles::Find(std::string_view extension) const {
  return FindIgnoringCase(folder / (base + std::string(extension)));
}

bool ProjectFiles::Exists(std::string_view extension) const {
  std::error_code status;
  return std::filesystem::is_regular_file(Find(extension), status);
}

ProjectFiles ProjectFilesOf(const std::filesystem::path& document) {
  return ProjectFiles{document.parent_path(), document.stem().string()};
}

bool ReadNetworkResults(const ProjectFiles& files, NetworkResults& results, std::string& error) {
  results = NetworkResults{};
  const std::filesystem::path dat = files.Find(".dat");
  if (!files.Exists(".dat")) {
    error = "no interpolation results yet: " + FileName(dat) +
            " does not exist (run an interpolation with --interpolate first)";
    return false;
  }
  if (!ReadDat(dat, results, error)) return false;
  if (results.size() == 0) {
    error = FileName(dat) + " holds no network point";
    return false;
  }

  // Positions: the data file's network when it still is that of the
  // results, else the five decimals of the .wl file, else the .dat file's.
  const std::filesystem::path dfl = files.Find(".dfl");
  std::string problem = FileName(dfl) + " cannot be read";
  bool fromDataFile = false;
  {
    DataFileText data;
    const int dataNumbers = DataNumbers(results.method);
    if (files.Exists(".dfl") && ReadDataFileText(dfl, dataNumbers, dataNumbers - 1, data)) {
      results.title = data.title;
      fromDataFile = TakeNetworkPositions(dfl, data, results, problem);
    }
  }
  if (!fromDataFile) {
    if (files.Exists(".wl")) TakeWlPositions(files.Find(".wl"), results);
    results.warnings.push_back(problem + "; positions from " + results.positionSource);
  }
  results.missingCount =
      static_cast<std::size_t>(std::count_if(results.estimate.begin(), results.estimate.end(),
                                             [](double value) { return std::isnan(value); }));
  return true;
}

bool StreamNetworkResults(const ProjectFiles& files, NetworkStream& stream,
                          const std::function<bool(const NetworkRecord&)>& take) {
  stream = NetworkStream{};
  if (!files.Exists(".dat") || !files.Exists(".dfl")) return false;
  DatReader dat(files.Find(".dat"));
  std::string ignored;
  if (!dat.Open(ignored)) return false;
  stream.method = dat.method();
  api::DataFileReader data(files.Find(".dfl"), {.guesses = stream.method == ResultMethod::kBayes});
  if (!data.report().completed() || data.networkCount() <= 0) return false;
  stream.title = data.title().substr(0, 72);
  while (!stream.title.empty() && stream.title.back() == ' ') stream.title.pop_back();
  const double rounding = dat.layout().positionRounding;
  constexpr std::size_t kBlock = 16384;
  std::vector<double> x(kBlock), y(kBlock),
      guess(stream.method == ResultMethod::kBayes ? kBlock : 0);
  NetworkRecord record;
  std::string cut;
  while (const std::size_t count = data.ReadNodes({x, y, guess})) {
    for (std::size_t i = 0; i < count; ++i) {
      if (dat.Next(record, cut, ignored) != DatReader::Read::kRecord ||
          !Near(x[i], record.x, rounding) || !Near(y[i], record.y, rounding)) {
        return false;
      }
      record.x = x[i];
      record.y = y[i];
      if (!take(record)) return false;
      ++stream.count;
    }
  }
  stream.positionSource = FileName(files.Find(".dfl"));
  return data.report().completed() && stream.count == data.networkCount() &&
         dat.Next(record, cut, ignored) == DatReader::Read::kEnd;
}

bool ReadErrorAnalysis(const ProjectFiles& files, ErrorAnalysisResults& results,
                       std::string& error) {
  results = ErrorAnalysisResults{};
  const std::filesystem::path lst = files.Find(".lst");
  TextLines lines(lst);
  if (!files.Exists(".lst") || !lines.IsOpen()) {
    error = "no error analysis yet: " + FileName(lst) +
            " does not exist (run an interpolation with --error-analysis first)";
    return false;
  }
  std::string line;
  if (lines.Next(line)) results.title = std::string(Trim(line));
  const LstLayout* layout = nullptr;
  while (layout == nullptr && lines.Next(line)) layout = FindLstLayout(line);
  if (layout == nullptr) {
    error = FileName(lst) +
            " holds no error analysis (run an interpolation with --error-analysis first)";
    return false;
  }
  results.method = layout->method;
  const bool standardised = layout->standardError.width > 0;
  // The table ends with a blank line before the statistics; a stop ends
  // the file after the last row written.
  bool tableEnded = false;
  bool cut = false;
  while (lines.Next(line)) {
    if (Trim(line).empty()) {
      tableEnded = true;
      break;
    }
    if (IsCutRecord(lines, line, layout->rowWidth)) {
      results.warnings.push_back(CutRecordText(lst, lines, line, layout->rowWidth) +
                                 "; that row is left out");
      cut = true;
      break;
    }
    double x = 0.0, y = 0.0, measured = 0.0, estimated = 0.0, difference = 0.0, standard = 0.0;
    if (!TakeField(line, layout->x, x) || !TakeField(line, layout->y, y) ||
        !TakeField(line, layout->measured, measured) ||
        !TakeField(line, layout->estimated, estimated) ||
        !TakeField(line, layout->error, difference) ||
        !TakeField(line, layout->standardError, standard)) {
      error = LineError(lst, lines.lineNumber(),
                        "not a row of the error table: '" + std::string(Trim(line)) + "'");
      return false;
    }
    const bool missing = std::isnan(x) || std::isnan(y) || std::isnan(measured) ||
                         std::isnan(estimated) || std::isnan(difference);
    if (missing) ++results.missingCount;
    results.x.push_back(x);
    results.y.push_back(y);
    results.measured.push_back(measured);
    results.estimated.push_back(estimated);
    results.error.push_back(difference);
    if (standardised) {
      results.standardisedError.push_back(standard > 0.0 ? difference / standard : kNaN);
    }
  }
  if (results.size() == 0) {
    error = "the error table of " + FileName(lst) + " has no rows";
    return false;
  }

  // The table rounds positions to one or two decimals; the data file keeps
  // every digit when its points are still those of the table.
  DataFileText data;
  const int dataNumbers = DataNumbers(results.method);
  if (!files.Exists(".dfl") ||
      !ReadDataFileText(files.Find(".dfl"), dataNumbers, dataNumbers - 1, data)) {
    return true;
  }
  std::vector<double> x, y;
  MergedDataPositions(data, results.method, x, y);
  const std::size_t rows = results.size();
  bool matches = tableEnded ? x.size() == rows : x.size() >= rows;
  for (std::size_t i = 0; matches && i < rows; ++i) {
    matches = (std::isnan(results.x[i]) || Near(x[i], results.x[i], layout->positionRounding)) &&
              (std::isnan(results.y[i]) || Near(y[i], results.y[i], layout->positionRounding));
  }
  if (!matches) {
    results.warnings.push_back("the data points of " + FileName(files.Find(".dfl")) +
                               " have changed since the error analysis; positions as written in " +
                               FileName(lst));
    return true;
  }
  if (rows < x.size()) {
    results.warnings.push_back(
        "the error table of " + FileName(lst) + " holds " + std::to_string(rows) + " of the " +
        std::to_string(x.size()) + " data points and no statistics" +
        (cut ? " (" + FileName(lst) + " is cut)" : std::string(" (a stopped error analysis?)")));
  }
  x.resize(rows);
  y.resize(rows);
  results.x = std::move(x);
  results.y = std::move(y);
  return true;
}

bool ReadLevelList(const std::filesystem::path& levFile, std::vector<double>& levels,
                   std::string& error) {
  levels.clear();
  TextLines lines(levFile);
  if (!lines.IsOpen()) {
    error = "cannot open " + FileName(levFile);
    return false;
  }
  std::string line;
  if (!lines.Next(line) || line.find(';') == std::string::npos) {
    error = FileName(levFile) + " holds no level list";
    return false;
  }
  // The count (I5) may be asterisks for a long list; the levels are the
  // whole numbers (I8) that follow, up to the first estimate (F15.5).
  double count = 0.0;
  const FieldKind countKind = ParseField(line, 0, 5, count);
  const bool counted = countKind == FieldKind::kNumber;
  if (counted && !(count >= 0.0 && count <= kMostLevelCount && std::floor(count) == count)) {
    error = LineError(levFile, 1,
                      "the level count '" + std::string(Trim(line.substr(0, 5))) +
                          "' is not a whole number from 0 to " +
                          std::to_string(static_cast<int>(kMostLevelCount)));
    return false;
  }
  const auto wanted = counted ? static_cast<std::size_t>(count) : std::size_t{0};
  while ((!counted || levels.size() < wanted) && lines.Next(line)) {
    const std::string_view item = Trim(line);
    double value = 0.0;
    if (item.find('.') != std::string_view::npos || item.empty() ||
        ParseField(item, 0, item.size(), value) != FieldKind::kNumber) {
      if (!counted) break;
      error = LineError(levFile, lines.lineNumber(), "not a level: '" + std::string(item) + "'");
      return false;
    }
    levels.push_back(value);
  }
  if (counted && levels.size() < wanted) {
    error = FileName(levFile) + " ends inside its level list";
    return false;
  }
  if (levels.empty()) {
    error = FileName(levFile) + " holds no level list";
    return false;
  }
  return true;
}

}  // namespace mornax::geo
