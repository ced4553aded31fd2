#include "gui/dialogs/grid_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <charconv>

#include "geo/network_summary.h"
#include "geo/raster_layout.h"

namespace mornax::gui {
namespace {

// A number in the C locale, as the batch tool reads it; false for other text.
bool ReadNumber(const QLineEdit* field, double& value) {
  const std::string text = field->text().trimmed().toStdString();
  const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
  const auto result = std::from_chars(first, text.data() + text.size(), value);
  return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool Number(const QLineEdit* field, const char* name, double& value, std::string& error) {
  if (ReadNumber(field, value)) return true;
  error = std::string(name) + " takes a number, not '" + field->text().toStdString() + "'";
  return false;
}

QLineEdit* Field(QWidget* parent, const char* name, const QString& placeholder = {}) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setPlaceholderText(placeholder);
  return field;
}

}  // namespace

GridDialog::GridDialog(std::vector<double> x, std::vector<double> y, QWidget* parent)
    : QDialog(parent),
      x_(std::move(x)),
      y_(std::move(y)),
      spacing_(Field(this, "gridSpacing")),
      spacingY_(Field(this, "gridSpacingY", "the same as x")),
      fromData_(new QRadioButton("From the data points, with a margin", this)),
      fromExtent_(new QRadioButton("Given extent (xmin ymin xmax ymax)", this)),
      fromRaster_(new QRadioButton("The cells of a raster", this)),
      margin_(Field(this, "gridMargin", "one spacing")),
      extent_(Field(this, "gridExtent", "xmin ymin xmax ymax")),
      like_(Field(this, "gridLike", "a GeoTIFF or other raster")),
      clip_(new QCheckBox("Only inside the polygons of", this)),
      clipSource_(Field(this, "gridClip", "a GeoPackage, Shapefile or GeoJSON")),
      hull_(new QCheckBox("Only near the data's hull, within", this)),
      hullMargin_(Field(this, "gridHull", "0")),
      guess_(Field(this, "gridGuess", "none")),
      guessRaster_(Field(this, "gridGuessRaster", "none")),
      preview_(new QLabel(this)) {
  setObjectName("gridDialog");
  setWindowTitle("Grid");
  fromData_->setObjectName("gridFromData");
  fromExtent_->setObjectName("gridFromExtent");
  fromRaster_->setObjectName("gridFromRaster");
  clip_->setObjectName("gridClipOn");
  hull_->setObjectName("gridHullOn");
  preview_->setObjectName("gridPreview");
  preview_->setWordWrap(true);
  fromData_->setChecked(true);
  auto* group = new QButtonGroup(this);
  for (QRadioButton* button : {fromData_, fromExtent_, fromRaster_}) group->addButton(button);

  auto* layout = new QVBoxLayout(this);
  auto* cells = new QGroupBox("Cells", this);
  auto* cellForm = new QFormLayout(cells);
  cellForm->addRow("Spacing:", spacing_);
  cellForm->addRow("Spacing in y:", spacingY_);
  layout->addWidget(cells);

  auto* extent = new QGroupBox("Extent", this);
  auto* extentForm = new QFormLayout(extent);
  extentForm->addRow(fromData_);
  extentForm->addRow("Margin:", margin_);
  extentForm->addRow(fromExtent_);
  extentForm->addRow("Extent:", extent_);
  extentForm->addRow(fromRaster_);
  extentForm->addRow("Raster:", like_);
  layout->addWidget(extent);

  auto* keep = new QGroupBox("Nodes kept", this);
  auto* keepForm = new QFormLayout(keep);
  keepForm->addRow(clip_, clipSource_);
  keepForm->addRow(hull_, hullMargin_);
  layout->addWidget(keep);

  auto* guesses = new QGroupBox("Guesses of Bayesian estimation at the nodes", this);
  auto* guessForm = new QFormLayout(guesses);
  guessForm->addRow("One value:", guess_);
  guessForm->addRow("Or from a raster:", guessRaster_);
  layout->addWidget(guesses);

  layout->addWidget(preview_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &GridDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &GridDialog::reject);

  for (QLineEdit* field : {spacing_, spacingY_, margin_, extent_, like_}) {
    connect(field, &QLineEdit::textChanged, this, &GridDialog::UpdatePreview);
  }
  for (QRadioButton* button : {fromData_, fromExtent_, fromRaster_}) {
    connect(button, &QRadioButton::toggled, this, &GridDialog::UpdatePreview);
  }
  for (QCheckBox* box : {clip_, hull_}) {
    connect(box, &QCheckBox::toggled, this, &GridDialog::UpdatePreview);
  }
  UpdatePreview();
}

bool GridDialog::Request(geo::NetworkRequest& request, std::string& error) const {
  request = geo::NetworkRequest{};
  if (fromRaster_->isChecked()) {
    if (like_->text().trimmed().isEmpty()) {
      error = "name the raster whose cells become the nodes";
      return false;
    }
    request.like = like_->text().trimmed().toStdString();
  } else {
    if (!Number(spacing_, "Spacing", request.grid.dx, error)) return false;
    request.grid.dy = request.grid.dx;
    if (!spacingY_->text().trimmed().isEmpty() &&
        !Number(spacingY_, "Spacing in y", request.grid.dy, error)) {
      return false;
    }
    if (fromExtent_->isChecked()) {
      const QStringList parts = extent_->text().simplified().split(' ', Qt::SkipEmptyParts);
      std::array<double, 4> bounds{};
      bool ok = parts.size() == 4;
      for (int k = 0; ok && k < 4; ++k) {
        const std::string text = parts[k].toStdString();
        const auto result = std::from_chars(text.data(), text.data() + text.size(), bounds[k]);
        ok = result.ec == std::errc() && result.ptr == text.data() + text.size();
      }
      if (!ok) {
        error = "Extent takes four numbers: xmin ymin xmax ymax";
        return false;
      }
      request.grid.extent = bounds;
    } else if (!margin_->text().trimmed().isEmpty()) {
      double margin = 0.0;
      if (!Number(margin_, "Margin", margin, error)) return false;
      request.grid.margin = margin;
    }
  }
  if (clip_->isChecked()) {
    if (clipSource_->text().trimmed().isEmpty()) {
      error = "name the polygons to keep the nodes inside";
      return false;
    }
    request.clip = clipSource_->text().trimmed().toStdString();
  }
  if (hull_->isChecked()) {
    double margin = 0.0;
    if (!hullMargin_->text().trimmed().isEmpty() &&
        !Number(hullMargin_, "Hull margin", margin, error)) {
      return false;
    }
    request.hullMargin = margin;
  }
  const bool guess = !guess_->text().trimmed().isEmpty();
  const bool guessRaster = !guessRaster_->text().trimmed().isEmpty();
  if (guess && guessRaster) {
    error = "choose one value or a raster for the guesses, not both";
    return false;
  }
  if (guess) {
    double value = 0.0;
    if (!Number(guess_, "Guess", value, error)) return false;
    request.guesses.constant = value;
  }
  if (guessRaster) request.guesses.raster = guessRaster_->text().trimmed().toStdString();
  return true;
}

QString GridDialog::Preview() const {
  return preview_->text();
}

void GridDialog::UpdatePreview() {
  margin_->setEnabled(fromData_->isChecked());
  extent_->setEnabled(fromExtent_->isChecked());
  like_->setEnabled(fromRaster_->isChecked());
  spacing_->setEnabled(!fromRaster_->isChecked());
  spacingY_->setEnabled(!fromRaster_->isChecked());
  clipSource_->setEnabled(clip_->isChecked());
  hullMargin_->setEnabled(hull_->isChecked());
  geo::NetworkRequest request;
  std::string error;
  geo::GridLayout layout;
  std::string crs;
  bool laidOut = false;
  if (Request(request, error)) {
    laidOut = request.like ? geo::LayOutLikeRaster(*request.like, layout, crs, error)
                           : geo::LayOutGrid(request.grid, x_, y_, layout, error);
  }
  preview_->setText(laidOut ? QString::fromStdString(geo::DescribeLayout(layout))
                            : QString::fromStdString(error));
}

void GridDialog::accept() {
  geo::NetworkRequest request;
  std::string error;
  if (!Request(request, error)) {
    preview_->setText(QString::fromStdString(error));
    return;
  }
  QDialog::accept();
}

}  // namespace mornax::gui
