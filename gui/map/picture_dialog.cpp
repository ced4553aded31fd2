#include "gui/map/picture_dialog.h"

#include <cmath>

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "gui/user_prompts.h"

namespace mornax::gui {
namespace {

constexpr double kLargestSide = 20000;
constexpr double kCentimetresPerInch = 2.54;

QDoubleSpinBox* SideBox(QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setRange(1, kLargestSide);
  box->setDecimals(0);
  box->setSingleStep(10);
  box->setSuffix(" px");
  return box;
}

}  // namespace

PictureExportDialog::PictureExportDialog(const QString& suggestedPath, QSize suggestedSize,
                                         QWidget* parent)
    : QDialog(parent),
      path_(new QLineEdit(suggestedPath, this)),
      unit_(new QComboBox(this)),
      width_(SideBox(this)),
      height_(SideBox(this)),
      dpi_(new QSpinBox(this)),
      summary_(new QLabel(this)) {
  setWindowTitle("Export Picture");
  setObjectName("pictureExportDialog");
  path_->setObjectName("picturePath");
  unit_->setObjectName("pictureUnit");
  unit_->addItems({"pixels", "centimetres"});
  width_->setObjectName("pictureWidth");
  height_->setObjectName("pictureHeight");
  dpi_->setObjectName("pictureDpi");
  dpi_->setRange(render::kLowestDpi, render::kHighestDpi);
  dpi_->setSuffix(" dpi");
  dpi_->setValue(96);
  dpi_->setToolTip("Text and marks keep their printed size at this resolution");
  summary_->setObjectName("pictureSummary");
  auto* browse = new QPushButton("Browse...", this);
  connect(browse, &QPushButton::clicked, this, &PictureExportDialog::Browse);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(path_, 1);
  fileRow->addWidget(browse);
  auto* form = new QFormLayout(this);
  form->addRow("File (.png, .svg, .pdf):", fileRow);
  form->addRow("Size in:", unit_);
  form->addRow("Width:", width_);
  form->addRow("Height:", height_);
  form->addRow("Resolution:", dpi_);
  form->addRow(summary_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
  SetPictureSize(suggestedSize);
  connect(unit_, &QComboBox::currentIndexChanged, this, &PictureExportDialog::ChangeUnit);
  for (QDoubleSpinBox* box : {width_, height_}) {
    connect(box, &QDoubleSpinBox::valueChanged, this, &PictureExportDialog::ShowSummary);
  }
  // Pixels stay pixels when the resolution changes; centimetres stay
  // centimetres.
  connect(dpi_, &QSpinBox::valueChanged, this, &PictureExportDialog::ShowSummary);
  ShowSummary();
}

PictureExportDialog::Unit PictureExportDialog::unit() const {
  return unit_->currentIndex() == 1 ? Unit::kCentimetres : Unit::kPixels;
}

QString PictureExportDialog::path() const {
  return path_->text().trimmed();
}

QSize PictureExportDialog::pictureSize() const {
  const auto pixels = [this](double side) {
    const double px = unit() == Unit::kPixels ? side : side / kCentimetresPerInch * dpi_->value();
    return static_cast<int>(std::lround(px));
  };
  return {pixels(width_->value()), pixels(height_->value())};
}

int PictureExportDialog::dpi() const {
  return dpi_->value();
}

void PictureExportDialog::SetPath(const QString& path) {
  path_->setText(path);
}

void PictureExportDialog::SetPictureSize(QSize size) {
  unit_->setCurrentIndex(0);
  width_->setValue(size.width());
  height_->setValue(size.height());
}

void PictureExportDialog::SetCentimetres(double width, double height, int dpi) {
  unit_->setCurrentIndex(1);
  dpi_->setValue(dpi);
  width_->setValue(width);
  height_->setValue(height);
}

void PictureExportDialog::ChangeUnit() {
  // The same picture in the other unit.
  const double factor = unit() == Unit::kCentimetres ? kCentimetresPerInch / dpi_->value()
                                                     : dpi_->value() / kCentimetresPerInch;
  const bool pixels = unit() == Unit::kPixels;
  if (unit() != shownUnit_) {
    for (QDoubleSpinBox* box : {width_, height_}) {
      const double value = box->value() * factor;
      box->setDecimals(pixels ? 0 : 2);
      box->setSingleStep(pixels ? 10 : 0.5);
      box->setSuffix(pixels ? " px" : " cm");
      box->setValue(value);
    }
    shownUnit_ = unit();
  }
  ShowSummary();
}

void PictureExportDialog::ShowSummary() {
  const QSize size = pictureSize();
  summary_->setText(QString("%1 x %2 pixels, %3 x %4 cm at %5 dpi")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(size.width() * kCentimetresPerInch / dpi_->value(), 0, 'f', 1)
                        .arg(size.height() * kCentimetresPerInch / dpi_->value(), 0, 'f', 1)
                        .arg(dpi_->value()));
}

void PictureExportDialog::Browse() {
  const QString chosen =
      QFileDialog::getSaveFileName(this, "Export Picture", path(),
                                   "PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
  if (!chosen.isEmpty()) path_->setText(chosen);
}

bool ExportPictureInteractively(QWidget* parent, UserPrompts& prompts, const QString& suggestedPath,
                                QSize suggestedSize, const render::PaintRoutine& paint) {
  PictureExportDialog dialog(suggestedPath, suggestedSize, parent);
  if (prompts.RunDialog(dialog) != QDialog::Accepted) return false;
  QString error;
  if (dialog.path().isEmpty()) {
    prompts.Inform(parent, "No file named: the picture was not written.");
    return false;
  }
  render::PictureOptions options;
  options.pixels = dialog.pictureSize();
  options.dpi = dialog.dpi();
  if (!render::ExportPicture(dialog.path(), options, paint, error)) {
    prompts.Inform(parent, error);
    return false;
  }
  return true;
}

void CopyPictureToClipboard(QSize size, const render::PaintRoutine& paint) {
  QGuiApplication::clipboard()->setImage(render::RenderImage(size, paint));
}

}  // namespace mornax::gui
