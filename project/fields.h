// Range checks of values already held in the records (a stored document, or
// values set one by one), by the same ranges that SetField applies to text.
#pragma once

#include <string>

#include "project/project.h"

namespace mornax::project {

// True when the field's value in `records` is within its range (reals also
// finite); otherwise false with `error` naming the field, its range and the
// value: "sigma must be > 0, not -0.67".
bool FieldInRange(const Records& records, const FieldInfo& field, std::string& error);

}  // namespace mornax::project
