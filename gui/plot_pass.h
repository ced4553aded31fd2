// One drawing pass of the view: checks the project, reads the plot's file
// afresh and paints it. Screen, print and print preview share it.
#pragma once

#include <QSize>
#include <QString>

#include "project/project.h"

class QPainter;

namespace mornax::gui {

enum class PlotCondition {
  kNone,         // drawn, or nothing to draw (display mode 0)
  kNoFileName,   // the document has no file yet
  kFileMissing,  // the plot's file cannot be opened
  kNoValues,     // its count is below 1
  kUnreadable,   // a count or record does not scan, or records are missing
};

struct PlotOutcome {
  PlotCondition condition = PlotCondition::kNone;
  QString message;  // the text to report for a condition
};

// The project file a display mode plots (0 and below: none).
std::string PlotFileName(int displayMode, const project::FileSet& files);

// Every size is taken from the device's resolution, so the plot looks the
// same on screen, on paper and in a picture; `printing` changes nothing.
PlotOutcome RunPlotPass(QPainter& painter, QSize device, bool printing, int displayMode,
                        const FILENAME& fileName, const project::FileSet& files);

}  // namespace mornax::gui
