#include "gui/gis_commands.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

#include "geo/data_file.h"
#include "geo/grid_network.h"
#include "geo/network_summary.h"
#include "geo/project_crs.h"
#include "geo/project_import.h"
#include "gui/dialogs/crs_dialog.h"
#include "gui/dialogs/grid_dialog.h"
#include "gui/dialogs/import_dialog.h"
#include "gui/gis_task.h"
#include "gui/mornax_doc.h"
#include "gui/plot_reader.h"
#include "gui/program_records.h"
#include "gui/user_prompts.h"

namespace mornax::gui {

GisCommands::GisCommands(QMainWindow& frame, CMornaxDoc& document, QMenu* fileMenu)
    : QObject(&frame), frame_(frame), document_(document), crsLabel_(new QLabel(&frame)) {
  const struct {
    const char* text;
    const char* name;
    const char* tip;
    bool (GisCommands::*run)();
  } entries[] = {
      {"&Import Points...", "actionImportPoints",
       "Take the data points from a CSV, GeoPackage, Shapefile or GeoJSON source",
       &GisCommands::ImportPoints},
      {"&Grid...", "actionGrid", "Make the network a regular grid over the data",
       &GisCommands::Grid},
      {"Coordinate S&ystem...", "actionCoordinateSystem", "Set the project's coordinate system",
       &GisCommands::CoordinateSystem},
  };
  QAction* before = frame.findChild<QAction*>("actionPrint");
  for (const auto& entry : entries) {
    auto* action = new QAction(entry.text, &frame);
    action->setObjectName(entry.name);
    action->setStatusTip(entry.tip);
    connect(action, &QAction::triggered, this, [this, run = entry.run] { (this->*run)(); });
    fileMenu->insertAction(before, action);
  }
  fileMenu->insertSeparator(before);
  crsLabel_->setObjectName("crsStatus");
  frame.statusBar()->addPermanentWidget(crsLabel_);
  connect(&document_, &CMornaxDoc::titleChanged, this, &GisCommands::UpdateCrsLabel);
  UpdateCrsLabel();
}

QString GisCommands::CrsText() const {
  if (document_.filePath().isEmpty()) return {};
  std::string error;
  const auto stored = geo::ReadProjectCrs(document_.filePath().toStdString(), error);
  if (!error.empty()) return "CRS: unreadable";
  return stored ? QString::fromStdString(geo::DescribeCrs(stored->wkt)) : "No coordinate system";
}

void GisCommands::UpdateCrsLabel() {
  crsLabel_->setText(CrsText());
}

QString GisCommands::NamedDocument() {
  if (document_.isRunning()) return {};
  if (document_.filePath().isEmpty()) {
    document_.prompts().Inform(&frame_,
                               "Save the project first: its data file lies beside the document.");
  }
  return document_.filePath();
}

void GisCommands::Tell(const QString& title, const QString& text) {
  document_.prompts().Inform(&frame_, title + "\n\n" + text);
}

bool GisCommands::ImportPoints() {
  const QString document = NamedDocument();
  if (document.isEmpty()) return false;
  ImportDialog dialog(&frame_);
  if (document_.prompts().RunDialog(dialog) != QDialog::Accepted) return false;
  geo::ImportRequest request;
  std::optional<std::string> title;
  std::string error;
  if (!dialog.Request(request, title, error)) return false;
  request.positiveOnly = ProgramRecords().svar.logTransform != 0;
  const std::filesystem::path path = document.toStdString();
  const GisOutcome outcome = RunGisTask(&frame_, "Importing points...", path, [=] {
    GisOutcome done;
    geo::ProjectImport result;
    done.ok = geo::ImportIntoProject(path, request, title, result, done.error);
    if (!result.projectCrsNote.empty()) done.warnings.push_back(result.projectCrsNote);
    if (done.ok) done.lines = geo::DescribeImport(path, request, result, "Layer chooses another");
    return done;
  });
  Tell(outcome.ok ? "Imported" : "Not imported", outcome.Text());
  if (outcome.ok) {
    UpdateCrsLabel();
    document_.SetDisplayMode(kPlotDataMap);
  }
  return outcome.ok;
}

bool GisCommands::Grid() {
  const QString document = NamedDocument();
  if (document.isEmpty()) return false;
  const std::filesystem::path path = document.toStdString();
  const std::filesystem::path dataFile = geo::FindDataFile(path);
  geo::DataSection section;
  std::string error;
  if (!geo::ScanDataSection(dataFile, section, error)) {
    Tell("No grid", QString::fromStdString(error) +
                        "\nImport the data points first (File > "
                        "Import Points...).");
    return false;
  }
  GridDialog dialog(section.x, section.y, &frame_);
  if (document_.prompts().RunDialog(dialog) != QDialog::Accepted) return false;
  geo::NetworkRequest request;
  if (!dialog.Request(request, error)) return false;
  const GisOutcome outcome = RunGisTask(&frame_, "Writing the grid...", path, [=]() mutable {
    GisOutcome done;
    const auto projectCrs = geo::ReadProjectCrs(path, done.error);
    if (!done.error.empty()) return done;
    if (projectCrs) {
      request.projectCrs = projectCrs->wkt;
      if (!projectCrs->note.empty()) done.warnings.push_back(projectCrs->note);
    }
    geo::NetworkReport report;
    done.ok = geo::WriteGridNetwork(dataFile, request, report, done.error);
    if (done.ok) done.lines = geo::DescribeNetwork(request, report, dataFile);
    return done;
  });
  Tell(outcome.ok ? "Grid written" : "No grid", outcome.Text());
  if (outcome.ok) document_.SetDisplayMode(kPlotDataMap);
  return outcome.ok;
}

bool GisCommands::CoordinateSystem() {
  const QString document = NamedDocument();
  if (document.isEmpty()) return false;
  CrsDialog dialog(CrsText(), &frame_);
  if (document_.prompts().RunDialog(dialog) != QDialog::Accepted) return false;
  const std::string definition = dialog.Definition();
  const std::filesystem::path path = document.toStdString();
  const GisOutcome outcome = RunGisTask(&frame_, "Storing the coordinate system...", path, [=] {
    GisOutcome done;
    if (definition == "none") {
      done.ok = geo::RemoveProjectCrs(path, done.error);
      if (done.ok) done.lines.push_back(path.filename().string() + ": no coordinate system");
      return done;
    }
    done.ok = geo::StoreProjectCrs(path, definition, done.error);
    if (!done.ok) return done;
    const auto stored = geo::ReadProjectCrs(path, done.error);
    done.ok = stored.has_value();
    if (done.ok) {
      done.lines.push_back(stored->file.string() + ": " + geo::DescribeCrs(stored->wkt));
    }
    return done;
  });
  UpdateCrsLabel();
  if (!outcome.ok) Tell("Coordinate system not stored", outcome.Text());
  frame_.statusBar()->showMessage(outcome.Text(), 5000);
  return outcome.ok;
}

}  // namespace mornax::gui
