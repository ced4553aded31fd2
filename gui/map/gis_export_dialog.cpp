#include "gui/map/gis_export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "geo/levels.h"
#include "gui/gis_task.h"
#include "gui/user_prompts.h"
#include "project/project.h"

namespace mornax::gui {
namespace {

constexpr std::pair<const char*, geo::ResultLayer> kLayers[] = {
    {"estimate", geo::ResultLayer::kEstimate},
    {"standard error", geo::ResultLayer::kStandardError},
    {"guess", geo::ResultLayer::kGuess},
    {"all (GeoTIFF bands)", geo::ResultLayer::kAll},
};

}  // namespace

GisExportDialog::GisExportDialog(const QString& document, QWidget* parent)
    : QDialog(parent),
      document_(document),
      output_(new QLineEdit(this)),
      layer_(new QComboBox(this)),
      levels_(new QLineEdit(this)),
      unit_(new QLineEdit(this)),
      residuals_(new QCheckBox("The residuals of the error analysis, as points", this)),
      note_(new QLabel(this)) {
  setObjectName("gisExportDialog");
  setWindowTitle("Export to GIS");
  output_->setObjectName("exportOutput");
  output_->setPlaceholderText(".tif .asc: raster; .gpkg .shp .geojson: contours; .csv: points");
  layer_->setObjectName("exportLayer");
  for (const auto& [name, layer] : kLayers) layer_->addItem(name);
  levels_->setObjectName("exportLevels");
  levels_->setPlaceholderText("lev (the .lev list), auto, or 60,65,70");
  unit_->setObjectName("exportUnit");
  unit_->setPlaceholderText("GeoTIFF: the unit of the values (m, mg/l)");
  residuals_->setObjectName("exportResiduals");
  note_->setObjectName("exportNote");
  note_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  auto* outputRow = new QHBoxLayout;
  outputRow->addWidget(output_, 1);
  auto* browse = new QPushButton("Browse...", this);
  browse->setAutoDefault(false);
  outputRow->addWidget(browse);
  form->addRow("Output:", outputRow);
  form->addRow("Layer:", layer_);
  form->addRow("Contour levels:", levels_);
  form->addRow("Unit:", unit_);
  form->addRow(residuals_);
  layout->addLayout(form);
  layout->addWidget(note_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Export");
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &GisExportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &GisExportDialog::reject);
  connect(browse, &QPushButton::clicked, this, &GisExportDialog::Browse);
  connect(residuals_, &QCheckBox::toggled, this, [this](bool residuals) {
    layer_->setEnabled(!residuals);
    levels_->setEnabled(!residuals);
  });
  resize(520, 0);
}

void GisExportDialog::Browse() {
  const QString name = QFileDialog::getSaveFileName(
      this, "Export to GIS", QFileInfo(document_).absolutePath(),
      "GeoTIFF (*.tif);;ASCII grid (*.asc);;GeoPackage (*.gpkg);;Shapefile (*.shp);;"
      "GeoJSON (*.geojson);;CSV points (*.csv)");
  if (!name.isEmpty()) output_->setText(name);
}

bool GisExportDialog::Request(geo::ExportRequest& request, std::string& error) const {
  request = geo::ExportRequest{};
  request.document = document_.toStdString();
  const QString output = output_->text().trimmed();
  if (output.isEmpty()) {
    error = "name the file to export to";
    return false;
  }
  // A bare name lands beside the project, as the results are.
  request.output = QFileInfo(output).isAbsolute()
                       ? output.toStdString()
                       : QFileInfo(document_).dir().filePath(output).toStdString();
  request.errorAnalysis = residuals_->isChecked();
  if (!request.errorAnalysis) {
    request.layer = kLayers[std::max(0, layer_->currentIndex())].second;
    request.layerGiven = layer_->currentIndex() > 0;
    const std::string levels = levels_->text().trimmed().toStdString();
    if (!levels.empty()) {
      if (!geo::ParseLevelChoice(levels, request.levels, error)) return false;
      request.levelsGiven = true;
    }
  }
  request.unit = unit_->text().trimmed().toStdString();
  // The run's parameters, as the batch tool reads them from the document.
  project::Records records;
  project::SetDefaults(records);
  std::string unread;
  if (project::ReadDocumentFile(request.document, records, unread)) {
    request.settings = {true, records.svar, records.ipl};
  }
  return geo::CheckExportRequest(request, error) == geo::ExportStatus::kWritten;
}

void GisExportDialog::accept() {
  geo::ExportRequest request;
  std::string error;
  if (!Request(request, error)) {
    note_->setText(QString::fromStdString(error));
    return;
  }
  QDialog::accept();
}

bool ExportToGis(QWidget* parent, UserPrompts& prompts, const QString& document) {
  GisExportDialog dialog(document, parent);
  if (prompts.RunDialog(dialog) != QDialog::Accepted) return false;
  geo::ExportRequest request;
  std::string error;
  if (!dialog.Request(request, error)) return false;
  const GisOutcome outcome = RunGisTask(parent, "Exporting...", request.document, [request] {
    GisOutcome done;
    geo::ExportReport report;
    const geo::ExportStatus status = geo::ExportResults(request, report, done.error);
    done.ok = status == geo::ExportStatus::kWritten;
    done.lines = std::move(report.lines);
    done.warnings = std::move(report.warnings);
    return done;
  });
  prompts.Inform(parent, (outcome.ok ? "Exported\n\n" : "Not exported\n\n") + outcome.Text());
  return outcome.ok;
}

}  // namespace mornax::gui
