// The project model: new-document defaults, the 156-byte document file, the
// project file set and the named field access.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "project/project.h"
#include "support/temp_dir.h"

namespace mornax::project {
namespace {

using testing::ScopedTempDir;

// Bytes from a text of two-digit hex numbers separated by blanks.
std::vector<std::uint8_t> Hex(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  std::istringstream in{std::string(text)};
  unsigned value = 0;
  while (in >> std::hex >> value) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

// The defaults, value by value as little-endian int32 / IEEE float32.
const std::vector<std::uint8_t> kDefaultDocument =
    Hex("00 00 00 00 00 00 00 00 14 00 00 00 "    // subtract 0, logTransform 0, lagCount 20
        "00 00 fa 43 00 00 b4 43 00 00 00 00 "    // lagDistance 500, tolerance 360, direction 0
        "14 00 00 00 01 00 00 00 02 00 00 00 "    // fitPointCount 20, bestFit 1, model 2
        "00 00 00 00 00 00 00 00 00 00 00 00 "    // B1 initial, minimum, maximum
        "00 00 00 00 00 00 00 00 00 00 00 00 "    // B2
        "00 00 00 00 00 00 00 00 00 00 00 00 "    // B3
        "04 00 00 00 06 00 00 00 08 00 00 00 "    // dwPoints, krigPoints, bayesPoints
        "07 00 00 00 02 00 00 00 06 00 00 00 "    // dwScheme, krigModel, bayesModel
        "00 00 00 00 02 00 00 00 03 00 00 00 "    // krigOrder, trendDegree, scaleGuess
        "00 60 8a 44 00 00 fa 44 00 60 8a 44 "    // sill 1107, a 2000, c 1107
        "00 00 00 00 00 00 00 00 00 00 00 00 "    // c0, guessSill, guessA
        "00 00 00 00 00 00 00 00 1f 85 2b 3f "    // guessC, guessC0, sigma 0.67
        "66 66 2e 42 71 3d 4a 3f 00 00 48 43 ");  // k 43.6, rho 0.79, lagD 200

// A document in which every value differs, with a negative integer and the
// fit bounds 1-9 that show the interleaving by parameter.
const std::vector<std::uint8_t> kDistinctDocument =
    Hex("fe ff ff ff 01 00 00 00 19 00 00 00 "    // -2, 1, 25
        "00 80 7a 43 00 00 b4 41 00 00 35 c2 "    // 250.5, 22.5, -45.25
        "11 00 00 00 00 00 00 00 03 00 00 00 "    // 17, 0, 3
        "00 00 80 3f 00 00 80 40 00 00 e0 40 "    // initial1 1, minimum1 4, maximum1 7
        "00 00 00 40 00 00 a0 40 00 00 00 41 "    // 2, 5, 8
        "00 00 40 40 00 00 c0 40 00 00 10 41 "    // 3, 6, 9
        "0a 00 00 00 0b 00 00 00 0c 00 00 00 "    // 10, 11, 12
        "05 00 00 00 04 00 00 00 03 00 00 00 "    // 5, 4, 3
        "01 00 00 00 09 00 00 00 02 00 00 00 "    // 1, 9, 2
        "cd cc cc 3d 00 00 c0 bf 95 bf d6 33 "    // 0.1, -1.5, 1e-7
        "9e c9 7f 7f 00 00 80 41 00 00 88 41 "    // 3.4e38, 16, 17
        "00 00 90 41 00 00 98 41 00 00 00 3f "    // 18, 19, 0.5
        "00 24 74 49 00 00 80 3e 00 00 00 80 ");  // 1e6, 0.25, -0

Records DistinctRecords() {
  Records r{};
  r.svar = SVAR{-2, 1, 25, 250.5f, 22.5f, -45.25f};
  r.fvar = FVAR{17, 0, 3, {1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}, {7.0f, 8.0f, 9.0f}};
  r.ipl = IPL{10,    11,      12,    5,     4,     3,     1,    9,    2,     0.1f, -1.5f,
              1e-7f, 3.4e38f, 16.0f, 17.0f, 18.0f, 19.0f, 0.5f, 1e6f, 0.25f, -0.0f};
  return r;
}

// Records compare by their bytes: they have no padding, and -0 must stay -0.
bool SameValues(const Records& a, const Records& b) {
  return std::memcmp(&a.svar, &b.svar, sizeof a.svar) == 0 &&
         std::memcmp(&a.fvar, &b.fvar, sizeof a.fvar) == 0 &&
         std::memcmp(&a.ipl, &b.ipl, sizeof a.ipl) == 0;
}

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

TEST(DocumentFile, DefaultsEncodeToTheHandBuiltFile) {
  Records records;
  records.fileName.nameLength = 5;  // reset as well
  SetDefaults(records);
  EXPECT_EQ(records.fileName.nameLength, 0);
  EXPECT_EQ(records.fileName.name[0], '\0');
  const auto bytes = EncodeDocument(records);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), kDefaultDocument);
}

TEST(DocumentFile, AllThirtyNineValuesRoundTripByteForByte) {
  const auto bytes = EncodeDocument(DistinctRecords());
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), kDistinctDocument);

  Records decoded;
  SetDefaults(decoded);
  std::strcpy(decoded.fileName.name, "KEEP.mnx");
  decoded.fileName.nameLength = 4;
  std::string error;
  ASSERT_TRUE(DecodeDocument(kDistinctDocument, decoded, error)) << error;
  EXPECT_TRUE(SameValues(decoded, DistinctRecords()));
  // The name is not part of the file.
  EXPECT_STREQ(decoded.fileName.name, "KEEP.mnx");
  EXPECT_EQ(decoded.fileName.nameLength, 4);
}

TEST(DocumentFile, ShortBufferIsRefusedWholeAndLongerOneReadsItsFirst156Bytes) {
  Records records = DistinctRecords();
  std::string error;
  const std::span<const std::uint8_t> bytes(kDefaultDocument);
  EXPECT_FALSE(DecodeDocument(bytes.first(155), records, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(DecodeDocument({}, records, error));
  EXPECT_TRUE(SameValues(records, DistinctRecords()));  // nothing half-loaded

  std::vector<std::uint8_t> longer = kDefaultDocument;
  longer.insert(longer.end(), {0xff, 0xff, 0xff, 0xff, 0x01});
  ASSERT_TRUE(DecodeDocument(longer, records, error));
  Records defaults;
  SetDefaults(defaults);
  EXPECT_TRUE(SameValues(records, defaults));
}

TEST(DocumentFile, WritesAndReadsFilesAndRefusesShortOrMissingOnes) {
  ScopedTempDir dir;
  std::string error;
  ASSERT_TRUE(WriteDocumentFile(dir.path() / "P.mnx", DistinctRecords(), error)) << error;
  EXPECT_EQ(FileBytes(dir.path() / "P.mnx"), kDistinctDocument);

  Records records;
  SetDefaults(records);
  ASSERT_TRUE(ReadDocumentFile(dir.path() / "P.mnx", records, error)) << error;
  EXPECT_TRUE(SameValues(records, DistinctRecords()));

  // A truncated file changes nothing.
  WriteBytes(dir.path() / "SHORT.mnx", std::span(kDefaultDocument).first(100));
  EXPECT_FALSE(ReadDocumentFile(dir.path() / "SHORT.mnx", records, error));
  EXPECT_NE(error.find("SHORT.mnx"), std::string::npos);
  EXPECT_TRUE(SameValues(records, DistinctRecords()));

  EXPECT_FALSE(ReadDocumentFile(dir.path() / "NONE.mnx", records, error));
  EXPECT_FALSE(ReadDocumentFile(dir.path(), records, error));  // a folder
  EXPECT_TRUE(SameValues(records, DistinctRecords()));

  EXPECT_FALSE(WriteDocumentFile(dir.path() / "no" / "P.mnx", records, error));
}

TEST(SetFileNames, DerivesTheLengthAndTheNineNames) {
  FILENAME record{};
  FileSet files;
  std::string error;
  ASSERT_TRUE(SetFileNames("SITE1.mnx", record, files, error)) << error;
  EXPECT_EQ(record.nameLength, 5);
  EXPECT_STREQ(record.name, "SITE1.mnx");
  const FileSet expected = {"SITE1.dfl", "SITE1.var", "SITE1.fit", "SITE1.sol", "SITE1.lst",
                            "SITE1.dat", "SITE1.lev", "SITE1.plt", "SITE1.wl"};
  EXPECT_EQ(files, expected);
  EXPECT_EQ(files[kDfl], "SITE1.dfl");

  // The longest names the records hold; a second call leaves no old bytes.
  ASSERT_TRUE(SetFileNames("ABCDEFGHIJKL.mnx", record, files, error));
  EXPECT_EQ(record.nameLength, 12);
  EXPECT_EQ(files[kWl], "ABCDEFGHIJKL.wl");
  ASSERT_TRUE(SetFileNames("A.mnx", record, files, error));
  EXPECT_EQ(record.nameLength, 1);
  EXPECT_EQ(std::string(record.name, sizeof record.name),
            std::string("A.mnx") + std::string(15, '\0'));
}

TEST(SetFileNames, RefusesNamesTheRecordsCannotHoldAndChangesNothing) {
  FILENAME record{};
  FileSet files;
  std::string error;
  ASSERT_TRUE(SetFileNames("SITE1.mnx", record, files, error));
  const FILENAME before = record;
  const FileSet filesBefore = files;
  for (std::string_view name : {"ABCDEFGHIJKLM.mnx",     // base of 13
                                "ABCDEFGHIJKLMNOP.mnx",  // 20 characters
                                ".mnx", "A.b", "", "SITE1mnx", "dir/A.mnx"}) {
    error.clear();
    EXPECT_FALSE(SetFileNames(name, record, files, error)) << name;
    EXPECT_FALSE(error.empty()) << name;
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << name;
    EXPECT_EQ(files, filesBefore) << name;
  }
}

TEST(Fields, NamesFollowTheRecordsAndCoverEveryValue) {
  std::vector<std::string_view> names;
  std::string joined;
  for (const FieldInfo& field : Fields()) {
    names.push_back(field.name);
    joined += std::string(field.name) + " ";
  }
  EXPECT_EQ(joined,
            "subtract logTransform lagCount lagDistance tolerance direction "
            "fitPointCount bestFit model initial1 initial2 initial3 minimum1 minimum2 minimum3 "
            "maximum1 maximum2 maximum3 "
            "dwPoints krigPoints bayesPoints dwScheme krigModel bayesModel krigOrder trendDegree "
            "scaleGuess sill a c c0 guessSill guessA guessC guessC0 sigma k rho lagD ");

  // Each field reaches its own value: setting them one by one to distinct
  // texts gives the distinct document.
  const std::vector<std::string_view> texts = {
      "-2",     "1",  "25", "250.5", "22.5", "-45.25", "17",  "0",    "3",    "1",
      "2",      "3",  "4",  "5",     "6",    "7",      "8",   "9",    "10",   "11",
      "12",     "5",  "4",  "3",     "1",    "9",      "2",   "0.1",  "-1.5", "1e-7",
      "3.4e38", "16", "17", "18",    "19",   "0.5",    "1e6", "0.25", "-0"};
  ASSERT_EQ(names.size(), texts.size());
  Records records{};
  for (std::size_t i = 0; i < names.size(); ++i) {
    const FieldInfo* field = FindField(names[i]);
    ASSERT_NE(field, nullptr);
    if (field->IsInteger()) {
      *field->integer(records) = std::stoi(std::string(texts[i]));
    } else {
      *field->real(records) = std::stof(std::string(texts[i]));
    }
  }
  const auto bytes = EncodeDocument(records);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), kDistinctDocument);
}

TEST(Fields, RealsPrintInAFormThatReadsBackAsTheSameFloat) {
  Records records;
  SetDefaults(records);
  const FieldInfo& sigma = *FindField("sigma");
  EXPECT_EQ(FieldValue(records, sigma), "0.67");
  EXPECT_EQ(FieldValue(records, *FindField("lagDistance")), "500");
  EXPECT_EQ(FieldValue(records, *FindField("lagCount")), "20");

  std::string error;
  for (float value : {1.0f / 3.0f, 1e-7f, 3.4e38f, 16777216.0f, 0.1f, 2.5e-3f}) {
    records.ipl.sigma = value;
    const std::string text = FieldValue(records, sigma);
    records.ipl.sigma = 0.0f;
    ASSERT_TRUE(SetField(records, "sigma", text, error)) << text << ": " << error;
    EXPECT_EQ(records.ipl.sigma, value) << text;
  }
}

TEST(Fields, SetAcceptsValuesInRangeAndRefusesTheRestUnchanged) {
  Records records;
  SetDefaults(records);
  std::string error;
  EXPECT_TRUE(SetField(records, "model", "6", error));
  EXPECT_TRUE(SetField(records, "krigOrder", "+2", error));
  EXPECT_TRUE(SetField(records, "tolerance", "360", error));
  EXPECT_TRUE(SetField(records, "direction", "-45.5", error));
  EXPECT_TRUE(SetField(records, "rho", "1", error));
  EXPECT_TRUE(SetField(records, "c0", "0", error));
  EXPECT_TRUE(SetField(records, "initial1", "-1e30", error));
  EXPECT_TRUE(SetField(records, "lagDistance", "0.1", error));
  EXPECT_EQ(records.fvar.model, 6);
  EXPECT_EQ(records.ipl.krigOrder, 2);
  EXPECT_EQ(records.svar.direction, -45.5f);
  EXPECT_EQ(records.svar.lagDistance, 0.1f);  // nearest float of the decimal
  EXPECT_EQ(records.fvar.initial[0], -1e30f);

  const Records before = records;
  const std::vector<std::pair<std::string_view, std::string_view>> refused = {
      {"Model", "2"},
      {"", "1"},
      {"lags", "5"},
      {"model", "2.0"},
      {"model", "2x"},
      {"model", ""},
      {"model", "0"},
      {"model", "7"},
      {"krigModel", "6"},
      {"bayesModel", "0"},
      {"dwScheme", "8"},
      {"krigOrder", "-1"},
      {"trendDegree", "10"},
      {"scaleGuess", "4"},
      {"bestFit", "2"},
      {"subtract", "-1"},
      {"logTransform", "2"},
      {"dwPoints", "0"},
      {"krigPoints", "1001"},
      {"lagCount", "0"},
      {"lagCount", "2147483648"},
      {"lagDistance", "0"},
      {"lagDistance", "-5"},
      {"tolerance", "360.5"},
      {"tolerance", "-1"},
      {"sill", "-1"},
      {"a", "0"},
      {"rho", "1.01"},
      {"rho", "0"},
      {"lagD", "0"},
      {"sigma", "abc"},
      {"k", "nan"},
      {"initial2", "inf"},
      {"maximum3", "1e39"},
      {"sill", "1,5"},
      {"sill", " 5"},
      {"sill", "0x10"}};
  for (const auto& [name, text] : refused) {
    error.clear();
    EXPECT_FALSE(SetField(records, name, text, error)) << name << "=" << text;
    EXPECT_FALSE(error.empty()) << name << "=" << text;
  }
  EXPECT_TRUE(SameValues(records, before));

  SetField(records, "model", "9", error);
  EXPECT_EQ(error, "model must be 1-6, not \"9\"");
  SetField(records, "krigPoints", "2.5", error);
  EXPECT_EQ(error, "krigPoints must be a whole number, not \"2.5\"");
  SetField(records, "depth", "1", error);
  EXPECT_EQ(error, "Unknown field \"depth\"");
}

TEST(Fields, RangeTextsNameTheAcceptedValues) {
  EXPECT_EQ(RangeText(*FindField("subtract")), "0 or 1");
  EXPECT_EQ(RangeText(*FindField("model")), "1-6");
  EXPECT_EQ(RangeText(*FindField("lagDistance")), "> 0");
  EXPECT_EQ(RangeText(*FindField("sill")), ">= 0");
  EXPECT_EQ(RangeText(*FindField("tolerance")), "0 to 360");
  EXPECT_EQ(RangeText(*FindField("rho")), "> 0 and <= 1");
  EXPECT_EQ(RangeText(*FindField("initial1")), "any");
  EXPECT_EQ(RangeText(*FindField("direction")), "any");
}

}  // namespace
}  // namespace mornax::project
