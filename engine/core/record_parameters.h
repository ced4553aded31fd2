// The parameters of the records, as the engine state holds them, in the form
// of the in-memory interface: how each record field reads (which flag values
// mean a logarithm, the subtract option, the shared model number of Bayes).
#pragma once

#include "api/mornax_arrays.h"
#include "core/engine_state.h"

namespace mornax {

api::SemivariogramParameters SemivariogramOf(const SvarCopy& svar);
// `lagCount` is SVAR's: the classes to fit.
api::FitParameters FitOf(const FvarCopy& fvar, int lagCount);
api::WeightingParameters WeightingOf(const IplCopy& ipl);
api::TrendParameters TrendOf(const IplCopy& ipl);
// `logTransform` is SVAR's: any value other than 0 means logarithms.
api::KrigingParameters KrigingOf(const IplCopy& ipl, int logTransform);
// `logTransform` is SVAR's: only 1 means logarithms.
api::BayesParameters BayesOf(const IplCopy& ipl, int logTransform);

}  // namespace mornax
