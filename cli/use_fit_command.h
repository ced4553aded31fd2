// mornax-batch use-fit: the fitted model of the project's fit report copied
// into the semivariogram fields of kriging and Bayesian estimation.
#pragma once

#include "arguments.h"

namespace mornax::batch {

// Returns the exit status: 0 the fields were set, 1 no usable fit (nothing
// changed), 2 a document that cannot be read or written.
int UseFittedModel(const Invocation& invocation);

}  // namespace mornax::batch
