// The field table behind the text access to a document: names, ranges and
// where each value lives in the records.
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "project/fields.h"
#include "project/project.h"
#include "project/quoted.h"

namespace mornax::project {
namespace {

constexpr double kAnyReal = std::numeric_limits<float>::max();

constexpr FieldInfo Integer(std::string_view name, int lowest, int highest,
                            std::int32_t* (*at)(Records&)) {
  return FieldInfo{name, double(lowest), double(highest), false, at, nullptr};
}

constexpr FieldInfo Real(std::string_view name, double lowest, double highest, bool lowestExcluded,
                         float* (*at)(Records&)) {
  return FieldInfo{name, lowest, highest, lowestExcluded, nullptr, at};
}

// Counts size the engine's work arrays; the upper limits keep a typing slip
// from asking for an allocation no machine has.
constexpr int kMaxLags = 10000;
constexpr int kMaxNearestPoints = 1000;

// Ranges are what the dialogs mean by their labels and the engine can work
// with: model and scheme numbers of the radio groups, flags 0/1, positive
// counts and distances, non-negative semivariogram parameters.
constexpr std::array kFields = {
    Integer("subtract", 0, 1, [](Records& r) { return &r.svar.subtract; }),
    Integer("logTransform", 0, 1, [](Records& r) { return &r.svar.logTransform; }),
    Integer("lagCount", 1, kMaxLags, [](Records& r) { return &r.svar.lagCount; }),
    Real("lagDistance", 0.0, kAnyReal, true, [](Records& r) { return &r.svar.lagDistance; }),
    Real("tolerance", 0.0, 360.0, false, [](Records& r) { return &r.svar.tolerance; }),
    // Any finite angle is a direction (400 is 40 degrees).
    Real("direction", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.svar.direction; }),

    Integer("fitPointCount", 1, kMaxLags, [](Records& r) { return &r.fvar.fitPointCount; }),
    Integer("bestFit", 0, 1, [](Records& r) { return &r.fvar.bestFit; }),
    Integer("model", 1, 6, [](Records& r) { return &r.fvar.model; }),
    Real("initial1", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.fvar.initial[0]; }),
    Real("initial2", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.fvar.initial[1]; }),
    Real("initial3", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.fvar.initial[2]; }),
    Real("minimum1", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.fvar.minimum[0]; }),
    Real("minimum2", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.fvar.minimum[1]; }),
    Real("minimum3", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.fvar.minimum[2]; }),
    Real("maximum1", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.fvar.maximum[0]; }),
    Real("maximum2", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.fvar.maximum[1]; }),
    Real("maximum3", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.fvar.maximum[2]; }),

    Integer("dwPoints", 1, kMaxNearestPoints, [](Records& r) { return &r.ipl.dwPoints; }),
    Integer("krigPoints", 1, kMaxNearestPoints, [](Records& r) { return &r.ipl.krigPoints; }),
    Integer("bayesPoints", 1, kMaxNearestPoints, [](Records& r) { return &r.ipl.bayesPoints; }),
    Integer("dwScheme", 1, 7, [](Records& r) { return &r.ipl.dwScheme; }),
    Integer("krigModel", 1, 5, [](Records& r) { return &r.ipl.krigModel; }),
    Integer("bayesModel", 1, 6, [](Records& r) { return &r.ipl.bayesModel; }),
    Integer("krigOrder", 0, 2, [](Records& r) { return &r.ipl.krigOrder; }),
    Integer("trendDegree", 1, 9, [](Records& r) { return &r.ipl.trendDegree; }),
    Integer("scaleGuess", 0, 3, [](Records& r) { return &r.ipl.scaleGuess; }),
    Real("sill", 0.0, kAnyReal, false, [](Records& r) { return &r.ipl.sill; }),
    Real("a", 0.0, kAnyReal, true, [](Records& r) { return &r.ipl.a; }),
    Real("c", 0.0, kAnyReal, false, [](Records& r) { return &r.ipl.c; }),
    Real("c0", 0.0, kAnyReal, false, [](Records& r) { return &r.ipl.c0; }),
    Real("guessSill", 0.0, kAnyReal, false, [](Records& r) { return &r.ipl.guessSill; }),
    // 0 is the new-document value: the guesses' semivariogram is then unused.
    Real("guessA", 0.0, kAnyReal, false, [](Records& r) { return &r.ipl.guessA; }),
    Real("guessC", 0.0, kAnyReal, false, [](Records& r) { return &r.ipl.guessC; }),
    Real("guessC0", 0.0, kAnyReal, false, [](Records& r) { return &r.ipl.guessC0; }),
    Real("sigma", 0.0, kAnyReal, true, [](Records& r) { return &r.ipl.sigma; }),
    Real("k", 0.0, kAnyReal, true, [](Records& r) { return &r.ipl.k; }),
    Real("rho", 0.0, 1.0, true, [](Records& r) { return &r.ipl.rho; }),
    Real("lagD", 0.0, kAnyReal, true, [](Records& r) { return &r.ipl.lagD; }),
};
static_assert(kFields.size() == 39, "one field per document value");

// The model terms of the document's tail: the anisotropy, then two further
// structures (model 0: none).
template <int kStructure>
constexpr std::array<FieldInfo, 5> StructureFields(std::string_view model, std::string_view c,
                                                   std::string_view a, std::string_view angle,
                                                   std::string_view ratio) {
  return {Integer(model, 0, 5, [](Records& r) { return &r.terms.structures[kStructure].model; }),
          Real(c, -kAnyReal, kAnyReal, false,
               [](Records& r) { return &r.terms.structures[kStructure].c; }),
          Real(a, -kAnyReal, kAnyReal, false,
               [](Records& r) { return &r.terms.structures[kStructure].a; }),
          Real(angle, -kAnyReal, kAnyReal, false,
               [](Records& r) { return &r.terms.structures[kStructure].angle; }),
          Real(ratio, 0.0, 1.0, true,
               [](Records& r) { return &r.terms.structures[kStructure].ratio; })};
}

constexpr auto kStructure2 = StructureFields<0>("structure2Model", "structure2C", "structure2A",
                                                "structure2Angle", "structure2Ratio");
constexpr auto kStructure3 = StructureFields<1>("structure3Model", "structure3C", "structure3A",
                                                "structure3Angle", "structure3Ratio");
constexpr std::array kTermFields = {
    Real("angle", -kAnyReal, kAnyReal, false, [](Records& r) { return &r.terms.angle; }),
    Real("ratio", 0.0, 1.0, true, [](Records& r) { return &r.terms.ratio; }),
    kStructure2[0],
    kStructure2[1],
    kStructure2[2],
    kStructure2[3],
    kStructure2[4],
    kStructure3[0],
    kStructure3[1],
    kStructure3[2],
    kStructure3[3],
    kStructure3[4],
};

std::string RealText(float value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

std::string BoundText(const FieldInfo& field, double bound) {
  return field.IsInteger() ? std::to_string(static_cast<long long>(bound))
                           : RealText(static_cast<float>(bound));
}

// The number in `text` without a leading '+', which from_chars does not take.
std::string_view NumberPart(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  return text;
}

bool InRange(const FieldInfo& field, double value) {
  const bool aboveLowest = field.lowestExcluded ? value > field.lowest : value >= field.lowest;
  return aboveLowest && value <= field.highest;
}

}  // namespace

std::span<const FieldInfo> Fields() {
  return kFields;
}

std::span<const FieldInfo> TermFields() {
  return kTermFields;
}

const FieldInfo* FindField(std::string_view name) {
  for (const FieldInfo& field : kFields) {
    if (field.name == name) return &field;
  }
  for (const FieldInfo& field : kTermFields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

std::string RangeText(const FieldInfo& field) {
  const bool openBelow = field.lowest <= -kAnyReal;
  const bool openAbove = field.highest >= kAnyReal;
  if (openBelow && openAbove) return "any";
  const std::string low = BoundText(field, field.lowest);
  const std::string high = BoundText(field, field.highest);
  if (openAbove) return (field.lowestExcluded ? "> " : ">= ") + low;
  if (field.lowestExcluded) return "> " + low + " and <= " + high;
  if (field.IsInteger()) {
    return low + (field.highest - field.lowest == 1.0 ? " or " : "-") + high;
  }
  return low + " to " + high;
}

std::string FieldValue(const Records& records, const FieldInfo& field) {
  Records copy = records;
  if (field.IsInteger()) return std::to_string(*field.integer(copy));
  return RealText(*field.real(copy));
}

bool SetField(Records& records, std::string_view name, std::string_view text, std::string& error) {
  const FieldInfo* field = FindField(name);
  if (field == nullptr) {
    error = "Unknown field " + Quoted(name);
    return false;
  }
  const std::string given = Quoted(text);
  const std::string_view number = NumberPart(text);
  const char* const end = number.data() + number.size();

  if (field->IsInteger()) {
    long long value = 0;
    const auto [ptr, status] = std::from_chars(number.data(), end, value);
    if (number.empty() || status == std::errc::invalid_argument || ptr != end) {
      error = std::string(name) + " must be a whole number, not " + given;
      return false;
    }
    if (status != std::errc() || !InRange(*field, static_cast<double>(value))) {
      error = std::string(name) + " must be " + RangeText(*field) + ", not " + given;
      return false;
    }
    *field->integer(records) = static_cast<std::int32_t>(value);
    return true;
  }

  // Parsed straight to float, so the stored value is the float nearest to
  // the decimal text (no double rounding).
  float value = 0.0f;
  const auto [ptr, status] = std::from_chars(number.data(), end, value);
  if (number.empty() || status == std::errc::invalid_argument || ptr != end ||
      (status == std::errc() && !std::isfinite(value))) {
    error = std::string(name) + " must be a number, not " + given;
    return false;
  }
  if (status != std::errc() || !InRange(*field, value)) {
    error = std::string(name) + " must be " + RangeText(*field) + ", not " + given;
    return false;
  }
  *field->real(records) = value;
  return true;
}

bool FieldInRange(const Records& records, const FieldInfo& field, std::string& error) {
  Records copy = records;
  const double value =
      field.IsInteger() ? static_cast<double>(*field.integer(copy)) : *field.real(copy);
  // A NaN fails every comparison, an infinity the bounds.
  if (InRange(field, value)) return true;
  error = std::string(field.name) + " must be " + RangeText(field) + ", not " +
          FieldValue(records, field);
  return false;
}

}  // namespace mornax::project
