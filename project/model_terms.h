// The model terms a document keeps beyond its 39 values: the anisotropy of
// the semivariogram that kriging and Bayesian estimation share and up to two
// further structures. They live in a versioned tail after the 156 bytes,
// written only when a term differs from its default, so that an isotropic
// single-structure document stays byte for byte what it was and a reader that
// takes 156 bytes never sees the tail.
//
// Tail, little-endian 4-byte values like the rest: the tag "MNXT", the
// version (1), angle, ratio, then per further structure model (0: none), c,
// a, angle, ratio.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "api/mornax_arrays.h"

namespace mornax::project {

struct StructureTerms {
  std::int32_t model = 0;  // 0: no structure; 1-5 the models
  float c = 0.0f;          // sill (2-4) or slope (1, 5)
  float a = 0.0f;          // range (2-4) or exponent (1)
  float angle = 0.0f;      // its own anisotropy
  float ratio = 1.0f;
};

struct ModelTermsRecord {
  float angle = 0.0f;  // the major axis, degrees from +x towards +y
  float ratio = 1.0f;  // minor / major range, (0, 1]
  std::array<StructureTerms, 2> structures{};

  bool IsDefault() const;
};

inline constexpr std::size_t kTermsTailSize = 4 * (4 + 5 * 2);

// The tail of `terms`; empty when every term has its default.
std::vector<std::uint8_t> EncodeTermsTail(const ModelTermsRecord& terms);

// The terms from what follows the 156 bytes: nothing (or anything without
// the tag) gives the defaults; a tail with the tag but of another version or
// cut short is refused with `error` set.
bool DecodeTermsTail(std::span<const std::uint8_t> bytes, ModelTermsRecord& terms,
                     std::string& error);

// The terms as the engine takes them: the first structure's anisotropy and
// the further structures whose model is not 0, in order.
struct EngineTerms {
  api::Anisotropy anisotropy{};
  std::vector<api::Structure> structures{};
};
EngineTerms ToEngineTerms(const ModelTermsRecord& terms);

}  // namespace mornax::project
