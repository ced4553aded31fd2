#include "project/project.h"

#include <bit>
#include <fstream>
#include <system_error>

#include "project/quoted.h"
#include "project/replace_file.h"

namespace mornax::project {
namespace {

constexpr std::array<std::string_view, 9> kExtensions = {".dfl", ".var", ".fit", ".sol", ".lst",
                                                         ".dat", ".lev", ".plt", ".wl"};

// Writes and reads the 4-byte values in file order, least significant byte
// first, whatever the host's byte order.
class ValueWriter {
 public:
  explicit ValueWriter(std::array<std::uint8_t, kDocumentFileSize>& bytes) : bytes_(bytes) {}

  void Integer(std::int32_t value) { Bits(static_cast<std::uint32_t>(value)); }
  void Real(float value) { Bits(std::bit_cast<std::uint32_t>(value)); }

 private:
  void Bits(std::uint32_t bits) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes_[position_++] = static_cast<std::uint8_t>(bits >> shift);
    }
  }

  std::array<std::uint8_t, kDocumentFileSize>& bytes_;
  std::size_t position_ = 0;
};

class ValueReader {
 public:
  explicit ValueReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::int32_t Integer() { return static_cast<std::int32_t>(Bits()); }
  float Real() { return std::bit_cast<float>(Bits()); }

 private:
  std::uint32_t Bits() {
    std::uint32_t bits = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      bits |= static_cast<std::uint32_t>(bytes_[position_++]) << shift;
    }
    return bits;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace

void SetDefaults(Records& records) {
  records.fileName = FILENAME{};
  records.terms = ModelTermsRecord{};
  records.svar = SVAR{.subtract = 0,
                      .logTransform = 0,
                      .lagCount = 20,
                      .lagDistance = 500.0f,
                      .tolerance = 360.0f,
                      .direction = 0.0f};
  records.fvar = FVAR{.fitPointCount = 20,
                      .bestFit = 1,
                      .model = 2,
                      .initial = {0.0f, 0.0f, 0.0f},
                      .minimum = {0.0f, 0.0f, 0.0f},
                      .maximum = {0.0f, 0.0f, 0.0f}};
  records.ipl = IPL{.dwPoints = 4,
                    .krigPoints = 6,
                    .bayesPoints = 8,
                    .dwScheme = 7,
                    .krigModel = 2,
                    .bayesModel = 6,
                    .krigOrder = 0,
                    .trendDegree = 2,
                    .scaleGuess = 3,
                    .sill = 1107.0f,
                    .a = 2000.0f,
                    .c = 1107.0f,
                    .c0 = 0.0f,
                    .guessSill = 0.0f,
                    .guessA = 0.0f,
                    .guessC = 0.0f,
                    .guessC0 = 0.0f,
                    .sigma = 0.67f,
                    .k = 43.6f,
                    .rho = 0.79f,
                    .lagD = 200.0f};
}

std::array<std::uint8_t, kDocumentFileSize> EncodeDocument(const Records& records) {
  std::array<std::uint8_t, kDocumentFileSize> bytes{};
  ValueWriter out(bytes);
  const SVAR& s = records.svar;
  out.Integer(s.subtract);
  out.Integer(s.logTransform);
  out.Integer(s.lagCount);
  out.Real(s.lagDistance);
  out.Real(s.tolerance);
  out.Real(s.direction);

  const FVAR& f = records.fvar;
  out.Integer(f.fitPointCount);
  out.Integer(f.bestFit);
  out.Integer(f.model);
  // The file holds the three bounds interleaved by parameter.
  for (int j = 0; j < 3; ++j) {
    out.Real(f.initial[j]);
    out.Real(f.minimum[j]);
    out.Real(f.maximum[j]);
  }

  const IPL& p = records.ipl;
  for (std::int32_t value : {p.dwPoints, p.krigPoints, p.bayesPoints, p.dwScheme, p.krigModel,
                             p.bayesModel, p.krigOrder, p.trendDegree, p.scaleGuess}) {
    out.Integer(value);
  }
  for (float value : {p.sill, p.a, p.c, p.c0, p.guessSill, p.guessA, p.guessC, p.guessC0, p.sigma,
                      p.k, p.rho, p.lagD}) {
    out.Real(value);
  }
  return bytes;
}

bool DecodeDocument(std::span<const std::uint8_t> bytes, Records& records, std::string& error) {
  if (bytes.size() < kDocumentFileSize) {
    error = "The document holds " + std::to_string(bytes.size()) + " bytes; " +
            std::to_string(kDocumentFileSize) + " are needed for its 39 values";
    return false;
  }
  // Bytes beyond the 39 values are the model terms when they carry their tag;
  // any other trailing bytes are ignored, as the document framework did.
  ModelTermsRecord terms;
  if (!DecodeTermsTail(bytes.subspan(kDocumentFileSize), terms, error)) return false;
  ValueReader in(bytes.first(kDocumentFileSize));
  SVAR s{};
  s.subtract = in.Integer();
  s.logTransform = in.Integer();
  s.lagCount = in.Integer();
  s.lagDistance = in.Real();
  s.tolerance = in.Real();
  s.direction = in.Real();

  FVAR f{};
  f.fitPointCount = in.Integer();
  f.bestFit = in.Integer();
  f.model = in.Integer();
  for (int j = 0; j < 3; ++j) {
    f.initial[j] = in.Real();
    f.minimum[j] = in.Real();
    f.maximum[j] = in.Real();
  }

  IPL p{};
  for (std::int32_t* field : {&p.dwPoints, &p.krigPoints, &p.bayesPoints, &p.dwScheme, &p.krigModel,
                              &p.bayesModel, &p.krigOrder, &p.trendDegree, &p.scaleGuess}) {
    *field = in.Integer();
  }
  for (float* field : {&p.sill, &p.a, &p.c, &p.c0, &p.guessSill, &p.guessA, &p.guessC, &p.guessC0,
                       &p.sigma, &p.k, &p.rho, &p.lagD}) {
    *field = in.Real();
  }

  records.svar = s;
  records.fvar = f;
  records.ipl = p;
  records.terms = terms;
  return true;
}

bool ReadDocumentFile(const std::filesystem::path& path, Records& records, std::string& error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    error = "Cannot read document " + path.string() + ": it is a folder";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "Cannot open document " + path.string();
    return false;
  }
  // The read stops after the 39 values and the model terms' tail.
  std::array<std::uint8_t, kDocumentFileSize + kTermsTailSize> bytes{};
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const auto count = static_cast<std::size_t>(in.gcount());
  if (count < bytes.size() && !in.eof()) {
    error = "Cannot read document " + path.string();
    return false;
  }
  std::string decodeError;
  if (!DecodeDocument(std::span(bytes).first(count), records, decodeError)) {
    error = "Document " + path.string() + " is too short: " + decodeError;
    return false;
  }
  return true;
}

bool WriteDocumentFile(const std::filesystem::path& path, const Records& records,
                       std::string& error) {
  const auto values = EncodeDocument(records);
  const std::vector<std::uint8_t> tail = EncodeTermsTail(records.terms);
  std::string bytes(reinterpret_cast<const char*>(values.data()), values.size());
  bytes.append(reinterpret_cast<const char*>(tail.data()), tail.size());
  std::string reason;
  if (!ReplaceFile(path, bytes, reason)) {
    error = "Cannot write document " + path.string() + ": " + reason;
    return false;
  }
  return true;
}

bool SetFileNames(std::string_view fileName, FILENAME& record, FileSet& files, std::string& error) {
  const std::string quoted = Quoted(fileName);
  if (fileName.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) {
    error = "Document name " + quoted + " must be a file name without a folder";
    return false;
  }
  if (fileName.size() > static_cast<std::size_t>(kMaxNameLength)) {
    error = "Document name " + quoted + " is longer than " + std::to_string(kMaxNameLength) +
            " characters";
    return false;
  }
  // The base name is everything before a 4-character extension such as ".mnx".
  if (fileName.size() < 5 || fileName[fileName.size() - 4] != '.') {
    error = "Document name " + quoted + " needs a project name and a 4-character extension" +
            " such as .mnx";
    return false;
  }
  const auto nameLength = static_cast<int>(fileName.size()) - 4;
  if (nameLength > kMaxBaseLength) {
    error = "Project name " + Quoted(fileName.substr(0, nameLength)) + " is longer than " +
            std::to_string(kMaxBaseLength) + " characters";
    return false;
  }

  record = FILENAME{};
  record.nameLength = nameLength;
  fileName.copy(record.name, fileName.size());
  const std::string base(fileName.substr(0, nameLength));
  for (std::size_t i = 0; i < files.size(); ++i) files[i] = base + std::string(kExtensions[i]);
  return true;
}

}  // namespace mornax::project
