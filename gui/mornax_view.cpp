#include "gui/mornax_view.h"

#include <QPainter>
#include <QPrinter>
#include <QTimer>

#include "gui/mornax_doc.h"
#include "gui/plot_pass.h"
#include "gui/program_records.h"
#include "gui/user_prompts.h"

namespace mornax::gui {

CMornaxView::CMornaxView(CMornaxDoc& document, QWidget* parent)
    : QWidget(parent), document_(document) {
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setMinimumSize(200, 150);
  connect(&document_, &CMornaxDoc::viewsChanged, this, qOverload<>(&QWidget::update));
}

void CMornaxView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const PlotOutcome outcome = RunPlotPass(painter, size(), false, document_.displayMode(),
                                          ProgramRecords().fileName, ProgramFiles());
  ReportOnce(outcome);
}

void CMornaxView::ReportOnce(const PlotOutcome& outcome) {
  if (outcome.condition == PlotCondition::kNone) return;
  // While the library computes, its files are half written; the plot after
  // the run reports what is left then.
  if (document_.isRunning()) return;
  if (reportedGeneration_ == document_.plotGeneration()) return;
  reportedGeneration_ = document_.plotGeneration();
  // Message boxes do not belong inside a paint event; show it right after.
  QTimer::singleShot(0, this, [this, message = outcome.message] {
    document_.prompts().Inform(window(), message);
  });
}

bool CMornaxView::Print(QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const PlotOutcome outcome =
      RunPlotPass(painter, QSize(printer.width(), printer.height()), true, document_.displayMode(),
                  ProgramRecords().fileName, ProgramFiles());
  painter.end();
  ReportOnce(outcome);
  return true;
}

}  // namespace mornax::gui
