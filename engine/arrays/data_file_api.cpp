// The data file read with the engine's own reader, for callers that work in
// memory: the title, the points, and the network a block at a time.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "api/mornax_arrays.h"
#include "arrays/api_call.h"
#include "core/value_bounds.h"
#include "core/work_arrays.h"
#include "estimation/data_points.h"
#include "io/free_reader.h"
#include "io/read_title.h"

namespace mornax::api {

struct DataFileReader::Impl {
  explicit Impl(const std::filesystem::path& file)
      : name(file.filename().string()),
        // Messages name the file whole: its length stands for the base
        // name's plus the extension's.
        env(messages, name, static_cast<int>(name.size()) - 4, RunOptions{}, nullptr,
            file.parent_path()) {}

  void Fail(Outcome outcome) {
    if (report.outcome == Outcome::kCompleted) report.outcome = outcome;
  }

  Hooks hooks;  // none: the reads' messages go to the report
  Report report;
  arrays::CallMessages messages{hooks, report};
  std::string name;
  RunEnv env;
  DataFileOptions options;
  io::FreeFormReader reader;
  std::string title;
  PointArrays points;
  DataSet data;
  std::int64_t networkCount = -1;
  std::int64_t nodesRead = 0;
};

DataFileReader::DataFileReader(const std::filesystem::path& file, const DataFileOptions& options)
    : impl_(std::make_unique<Impl>(file)) {
  Impl& d = *impl_;
  d.options = options;
  // The title and the count first, to size the point arrays.
  std::int32_t count = 0;
  {
    io::FreeFormReader head;
    if (!head.Open(file)) {
      d.env.Error(MessageCode::kCannotOpenInput, "Cannot open input file : " + d.name);
      d.Fail(Outcome::kRefused);
      return;
    }
    if (head.ReadText(d.title) == io::kReadOk) {
      BlankControlCharacters(d.title);
      if (head.ReadInteger(count) != io::kReadOk) count = 0;
    }
  }
  WorkArrays arrays;
  if (arrays.AllocPointArrays(d.messages, std::max(count, 0)) != 1) {
    d.Fail(Outcome::kRefused);
    return;
  }
  d.points = std::move(arrays.points);
  d.reader.Open(file);
  DataReadOptions read;
  read.readGuess = options.guesses;
  read.fileName = d.name;
  if (!ReadDataPoints(d.env, d.reader, d.points, read, d.data)) {
    d.Fail(Outcome::kRefused);
    return;
  }
  std::int32_t network = 0;
  std::string detail;
  const int status = ReadNetworkCount(d.reader, network, detail);
  if (status > 0) {
    d.env.InputError(status, d.name, detail);
    d.Fail(Outcome::kFailed);
    return;
  }
  d.networkCount = network;
}

DataFileReader::DataFileReader(DataFileReader&&) noexcept = default;
DataFileReader& DataFileReader::operator=(DataFileReader&&) noexcept = default;
DataFileReader::~DataFileReader() = default;

const Report& DataFileReader::report() const {
  return impl_->report;
}

const std::string& DataFileReader::title() const {
  return impl_->title;
}

Points DataFileReader::points() const {
  const DataSet& data = impl_->data;
  const auto n = static_cast<std::size_t>(std::max(data.count, 0));
  Points points;
  points.x = std::span<const double>(data.x).first(n);
  points.y = std::span<const double>(data.y).first(n);
  points.value = std::span<const double>(data.z).first(n);
  if (!data.guess.empty()) points.guess = std::span<const double>(data.guess).first(n);
  return points;
}

std::int64_t DataFileReader::networkCount() const {
  return impl_->networkCount;
}

std::size_t DataFileReader::ReadNodes(const NodeBlock& block) {
  Impl& d = *impl_;
  if (d.networkCount < 0 || d.report.outcome != Outcome::kCompleted) return 0;
  const std::size_t values = d.options.guesses ? 3 : 2;
  std::size_t filled = 0;
  while (filled < block.x.size() && d.nodesRead < d.networkCount) {
    std::array<double, 3> node{};
    const int status = d.reader.ReadReals(std::span<double>(node.data(), values));
    if (status != io::kReadOk) {
      d.env.InputError(status, d.name, d.reader.FailureDetail({"x", "y", "guess"}));
      d.Fail(Outcome::kFailed);
      break;
    }
    ++d.nodesRead;
    if (!std::all_of(node.begin(), node.begin() + static_cast<std::ptrdiff_t>(values),
                     UsableValue)) {
      d.env.Error(MessageCode::kValueOutOfRange,
                  UnusableValueMessage("network point", d.nodesRead, d.name));
      d.Fail(Outcome::kFailed);
      break;
    }
    block.x[filled] = node[0];
    block.y[filled] = node[1];
    if (filled < block.guess.size()) block.guess[filled] = node[2];
    ++filled;
  }
  return filled;
}

}  // namespace mornax::api
