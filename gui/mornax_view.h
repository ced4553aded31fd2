// The main window's view: draws the plot of the document's display mode on
// screen, on paper and in the print preview.
#pragma once

#include <QWidget>

class QPrinter;

namespace mornax::gui {

class CMornaxDoc;
struct PlotOutcome;

class CMornaxView : public QWidget {
  Q_OBJECT

 public:
  explicit CMornaxView(CMornaxDoc& document, QWidget* parent = nullptr);

  CMornaxDoc& document() const { return document_; }

  // Draws the plot on the printer's pages (one page); false when the printer
  // could not be started.
  bool Print(QPrinter& printer);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // A plot that cannot be drawn is reported once for each display-mode or
  // project change: repainting after the message box must not ask again.
  void ReportOnce(const PlotOutcome& outcome);

  CMornaxDoc& document_;
  unsigned reportedGeneration_ = ~0u;
};

}  // namespace mornax::gui
