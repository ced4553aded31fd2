// Axis ticks at round numbers (1, 2 or 5 times a power of ten) and their
// labels.
#pragma once

#include <vector>

#include <QString>

namespace mornax::render {

// The step of about `count` intervals over [low, high]; 0 for an empty or
// non-finite range.
double NiceStep(double low, double high, int count);
// The multiples of NiceStep(low, high, count) inside [low, high].
std::vector<double> NiceTicks(double low, double high, int count);
// A tick value with as many decimals as `step` needs (no "-0").
QString TickLabel(double value, double step);

}  // namespace mornax::render
