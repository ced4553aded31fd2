#include "gui/current_model.h"

#include <utility>

#include "project/model_terms.h"

namespace mornax::gui {

api::Variogram KrigingVariogram(const project::Records& records) {
  const IPL& ipl = records.ipl;
  api::Variogram v{ipl.krigModel, ipl.sill, ipl.a, ipl.c, ipl.c0};
  project::EngineTerms terms = project::ToEngineTerms(records.terms);
  v.anisotropy = terms.anisotropy;
  v.structures = std::move(terms.structures);
  return v;
}

}  // namespace mornax::gui
