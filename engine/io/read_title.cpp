#include "io/read_title.h"

#include <array>
#include <string_view>

#include "core/engine_state.h"
#include "io/free_reader.h"

namespace mornax {
namespace {

// Run-title prefixes by method: semivariogram, distance weighting, kriging,
// Bayesian estimation.
constexpr std::array<std::string_view, 4> kPrefixes = {
    " Semi-Variogram: ", " Distance Weighting:", "      Kriging      :", "  Bayes Estimation :"};

// Characters of the data file's title line that follow the prefix.
constexpr std::size_t kTitleTextLength = 50;

std::string_view PrefixFor(int method) {
  // Every method beyond the table runs Bayesian estimation, as in the driver.
  if (method < 0 || method >= static_cast<int>(kPrefixes.size())) return kPrefixes.back();
  return kPrefixes[static_cast<std::size_t>(method)];
}

// `text` cut or blank padded to `length` characters.
std::string Fixed(std::string_view text, std::size_t length) {
  std::string result(text.substr(0, length));
  result.resize(length, ' ');
  return result;
}

}  // namespace

void BlankControlCharacters(std::string& text) {
  for (char& c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) c = ' ';
  }
}

void read_title(const RunEnv& env, int method, std::string& title, std::int32_t& pointCount) {
  const auto titleLength = static_cast<std::size_t>(kTitleLength);
  io::FreeFormReader reader;
  // A data file that cannot be opened is reported by the computation routine,
  // which opens it again; the title gets the prefix alone.
  const bool opened = reader.Open(env.Path(".DFL"));

  // A missing title line counts as an empty one, so that the composed title
  // never repeats an earlier run's prefix. Control characters would end up in
  // every result file: they become blanks.
  std::string line;
  int status = reader.ReadText(line);
  std::string detail;
  if (status != io::kReadOk) {
    line.clear();
    detail = reader.FailureDetail({"title"});
  }
  BlankControlCharacters(line);
  title = Fixed(line, titleLength);
  if (status == io::kReadOk) {
    status = reader.ReadInteger(pointCount);
    if (status != io::kReadOk) detail = reader.FailureDetail({"count"});
  }

  // A malformed count leaves the title as read; an end of file does not.
  if (status <= io::kReadOk) {
    std::string composed(PrefixFor(method));
    composed += Fixed(title, kTitleTextLength);
    title = Fixed(composed, titleLength);
  }
  reader.Close();
  if (opened && status != io::kReadOk) env.InputError(status, env.File(".dfl"), detail);
}

std::string PaddedTitle(std::string_view title) {
  std::string padded(title.substr(0, kTitleLength));
  padded.resize(kTitleLength, ' ');
  return padded;
}

}  // namespace mornax
