// The model terms of the document (anisotropy, further structures), which no
// record carries, put into the engine state a run reads them from.
#pragma once

#include <utility>

#include "core/engine_state.h"
#include "project/model_terms.h"
#include "project/project.h"

namespace mornax::batch {

inline void PutModelTerms(const project::Records& records, EngineState& state) {
  project::EngineTerms terms = project::ToEngineTerms(records.terms);
  state.ipl.terms = ModelTerms{terms.anisotropy, std::move(terms.structures)};
}

}  // namespace mornax::batch
