// The document's kriging model as the engine's in-memory interface takes it:
// the first structure of the kriging fields, its anisotropy and the further
// structures of the model terms. The program draws it along directions and
// over the variogram map.
#pragma once

#include "api/mornax_arrays.h"
#include "project/project.h"

namespace mornax::gui {

api::Variogram KrigingVariogram(const project::Records& records);

}  // namespace mornax::gui
