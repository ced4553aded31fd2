// The project model: the four parameter records with their new-document
// defaults, the 156-byte document file and the project file set.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "mornax.h"
#include "project/model_terms.h"

namespace mornax::project {

// The records a document holds (FILENAME follows the document's name).
struct Records {
  FILENAME fileName{};
  SVAR svar{};
  FVAR fvar{};
  IPL ipl{};
  ModelTermsRecord terms{};  // kept in the document's tail (project/model_terms.h)
};

// Resets every record to the new-document defaults (nameLength 0, empty name).
void SetDefaults(Records& records);

constexpr std::size_t kDocumentFileSize = 156;  // 39 values of 4 bytes

// The 39 values, little-endian, in document-file order (the FVAR reals
// interleaved by parameter).
std::array<std::uint8_t, kDocumentFileSize> EncodeDocument(const Records& records);

// Replaces SVAR, FVAR, IPL and the model terms of `records` from `bytes` (the
// terms from a tail after the 156 bytes, else their defaults). A buffer
// shorter than 156 bytes, or a tail this program cannot read, is refused
// whole (false, `error` set, records unchanged).
bool DecodeDocument(std::span<const std::uint8_t> bytes, Records& records, std::string& error);

bool ReadDocumentFile(const std::filesystem::path& path, Records& records, std::string& error);
// Writes the document (with its tail when a model term is not the default)
// beside itself and renames it over the old one: a write that fails leaves
// the old document intact (false, `error` says why).
bool WriteDocumentFile(const std::filesystem::path& path, const Records& records,
                       std::string& error);

// The nine project file names: base name + ".dfl", ".var", ".fit", ".sol",
// ".lst", ".dat", ".lev", ".plt", ".wl".
enum FileIndex { kDfl, kVar, kFit, kSol, kLst, kDat, kLev, kPlt, kWl };
using FileSet = std::array<std::string, 9>;

constexpr int kMaxBaseLength = 12;
constexpr int kMaxNameLength = 19;

// The document's file name (name and extension, no directory) into FILENAME
// and the file set. Names longer than the records hold (more than 19
// characters, or a base name over 12), names without a base name and a
// 4-character extension such as ".mnx", and names with a folder are refused
// with `error` set and nothing changed.
bool SetFileNames(std::string_view fileName, FILENAME& record, FileSet& files, std::string& error);

// Named access to the 39 document values, by the field names of the records,
// for tools that show and edit documents as text. Every field has the range of
// values its dialog means; reals must also be finite float32 values.
struct FieldInfo {
  std::string_view name;
  double lowest;                       // smallest accepted value
  double highest;                      // largest accepted value
  bool lowestExcluded;                 // only values above `lowest` are accepted
  std::int32_t* (*integer)(Records&);  // set for an integer field
  float* (*real)(Records&);            // set for a real field

  bool IsInteger() const { return integer != nullptr; }
};

// Every field in record order: SVAR, FVAR (initial1-3, minimum1-3,
// maximum1-3), IPL.
std::span<const FieldInfo> Fields();

// The model terms of the document's tail, by name: angle, ratio, and per
// further structure N (2, 3) structureNModel (0: none), structureNC,
// structureNA, structureNAngle, structureNRatio.
std::span<const FieldInfo> TermFields();

// The field of that name (among Fields() and TermFields()), or nullptr.
const FieldInfo* FindField(std::string_view name);

// The accepted values as text: "1-6", "0 or 1", "> 0", "0 to 360", "any".
std::string RangeText(const FieldInfo& field);

// The field's value as text; a real in the shortest form that reads back as
// the same float.
std::string FieldValue(const Records& records, const FieldInfo& field);

// Parses `text` as the field's value and stores it. An unknown field, a
// malformed number (integers must be whole numbers) or a value out of range is
// refused with `error` set and the records unchanged.
bool SetField(Records& records, std::string_view name, std::string_view text, std::string& error);

}  // namespace mornax::project
