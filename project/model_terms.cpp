#include "project/model_terms.h"

#include <algorithm>
#include <bit>

namespace mornax::project {
namespace {

constexpr std::array<std::uint8_t, 4> kTag = {'M', 'N', 'X', 'T'};
constexpr std::int32_t kVersion = 1;

void Put(std::vector<std::uint8_t>& out, std::uint32_t bits) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

std::uint32_t Get(std::span<const std::uint8_t> bytes, std::size_t& at) {
  std::uint32_t bits = 0;
  for (int shift = 0; shift < 32; shift += 8) bits |= std::uint32_t{bytes[at++]} << shift;
  return bits;
}

}  // namespace

bool ModelTermsRecord::IsDefault() const {
  if (angle != 0.0f || ratio != 1.0f) return false;
  for (const StructureTerms& s : structures) {
    if (s.model != 0 || s.c != 0.0f || s.a != 0.0f || s.angle != 0.0f || s.ratio != 1.0f) {
      return false;
    }
  }
  return true;
}

std::vector<std::uint8_t> EncodeTermsTail(const ModelTermsRecord& terms) {
  std::vector<std::uint8_t> out;
  if (terms.IsDefault()) return out;
  out.assign(kTag.begin(), kTag.end());
  Put(out, static_cast<std::uint32_t>(kVersion));
  Put(out, std::bit_cast<std::uint32_t>(terms.angle));
  Put(out, std::bit_cast<std::uint32_t>(terms.ratio));
  for (const StructureTerms& s : terms.structures) {
    Put(out, static_cast<std::uint32_t>(s.model));
    for (float value : {s.c, s.a, s.angle, s.ratio}) Put(out, std::bit_cast<std::uint32_t>(value));
  }
  return out;
}

bool DecodeTermsTail(std::span<const std::uint8_t> bytes, ModelTermsRecord& terms,
                     std::string& error) {
  terms = ModelTermsRecord{};
  if (bytes.size() < kTag.size() || !std::equal(kTag.begin(), kTag.end(), bytes.begin())) {
    return true;
  }
  if (bytes.size() < kTermsTailSize) {
    error = "the model terms after the 39 values are cut short";
    return false;
  }
  std::size_t at = kTag.size();
  if (const auto version = static_cast<std::int32_t>(Get(bytes, at)); version != kVersion) {
    error = "the model terms after the 39 values are of version " + std::to_string(version) +
            ", which this program does not know";
    return false;
  }
  ModelTermsRecord read;
  read.angle = std::bit_cast<float>(Get(bytes, at));
  read.ratio = std::bit_cast<float>(Get(bytes, at));
  for (StructureTerms& s : read.structures) {
    s.model = static_cast<std::int32_t>(Get(bytes, at));
    for (float* value : {&s.c, &s.a, &s.angle, &s.ratio})
      *value = std::bit_cast<float>(Get(bytes, at));
  }
  terms = read;
  return true;
}

EngineTerms ToEngineTerms(const ModelTermsRecord& terms) {
  EngineTerms out;
  out.anisotropy = {terms.angle, terms.ratio};
  for (const StructureTerms& s : terms.structures) {
    if (s.model == 0) continue;
    out.structures.push_back(api::Structure{s.model, s.c, s.a, {s.angle, s.ratio}});
  }
  return out;
}

}  // namespace mornax::project
