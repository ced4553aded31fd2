// Reads the file behind one plot kind: the .fit file (semivariogram points),
// the .sol file (observed and model semivariances) or the .dfl data file
// (data points and network nodes).
#pragma once

#include <string>
#include <vector>

#include "gui/plot_model.h"

namespace mornax::gui {

enum PlotKind { kPlotNone = 0, kPlotSemivariogram = 1, kPlotFittedModel = 2, kPlotDataMap = 3 };

struct PlotData {
  std::string title;
  std::vector<double> x, y;          // the n points
  std::vector<double> model;         // kind 2: the model value at each x
  std::vector<double> nodeX, nodeY;  // kind 3: the network nodes
  // Kind 2: the model and parameters of the report (model 0 when the
  // report does not name them; the plot then shows no curve).
  FittedModel fitted;
  // Kind 2: the legend's name of the curve; empty: "fitted <model> model".
  std::string curveLabel;
  // Kind 2: the pairs of each point's class, written beside it; empty: none.
  std::vector<double> pairs;
};

enum class PlotReadStatus {
  kOk,
  kNoValues,     // a count below 1: nothing to draw
  kEndOfFile,    // fewer records than the count announced
  kFormatError,  // a count or record that is not a number
};

// Reads `text` by the layout of `kind` (3 and above read a data file). The
// semivariogram's empty lag classes (0, 0) are left out, so `x` may be empty.
PlotReadStatus ReadPlotData(std::string text, int kind, PlotData& data);

}  // namespace mornax::gui
