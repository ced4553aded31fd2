#include "gui/map/picture_dialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "gui/user_prompts.h"

namespace mornax::gui {
namespace {

constexpr int kLargestSide = 20000;

QSpinBox* SideBox(int value, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(16, kLargestSide);
  box->setSuffix(" px");
  box->setValue(value);
  return box;
}

}  // namespace

PictureExportDialog::PictureExportDialog(const QString& suggestedPath, QSize suggestedSize,
                                         QWidget* parent)
    : QDialog(parent),
      path_(new QLineEdit(suggestedPath, this)),
      width_(SideBox(suggestedSize.width(), this)),
      height_(SideBox(suggestedSize.height(), this)) {
  setWindowTitle("Export Picture");
  setObjectName("pictureExportDialog");
  path_->setObjectName("picturePath");
  width_->setObjectName("pictureWidth");
  height_->setObjectName("pictureHeight");
  auto* browse = new QPushButton("Browse...", this);
  connect(browse, &QPushButton::clicked, this, &PictureExportDialog::Browse);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(path_, 1);
  fileRow->addWidget(browse);
  auto* form = new QFormLayout(this);
  form->addRow("File (.png, .svg, .pdf):", fileRow);
  form->addRow("Width:", width_);
  form->addRow("Height:", height_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

QString PictureExportDialog::path() const {
  return path_->text().trimmed();
}

QSize PictureExportDialog::pictureSize() const {
  return {width_->value(), height_->value()};
}

void PictureExportDialog::SetPath(const QString& path) {
  path_->setText(path);
}

void PictureExportDialog::SetPictureSize(QSize size) {
  width_->setValue(size.width());
  height_->setValue(size.height());
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
