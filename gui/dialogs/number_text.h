// Text exchange of the dialogs' numeric fields: int32 and float32 values
// written and read in the C locale.
#pragma once

#include <QString>

namespace mornax::gui {

// The shortest text that reads back as the same float.
QString FormatReal(float value);
QString FormatInt(int value);

// Surrounding white space is allowed; anything else that is not part of the
// number, an empty text and a value outside the type's range are refused.
bool ParseReal(const QString& text, float& value);
bool ParseInt(const QString& text, int& value);

}  // namespace mornax::gui
