// File > Export Picture: the dialog that asks for the file (PNG, SVG or PDF
// by its extension), the picture's size in pixels or in centimetres and its
// resolution, and the export itself; and the picture for Edit > Copy. Text
// and marks keep their size in points at the resolution chosen, so a
// 300-dpi picture of 16 x 12 cm reads as the printed page would.
#pragma once

#include <QDialog>
#include <QSize>

#include "gui/render/picture_export.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace mornax::gui {

class UserPrompts;

class PictureExportDialog : public QDialog {
  Q_OBJECT

 public:
  PictureExportDialog(const QString& suggestedPath, QSize suggestedSize, QWidget* parent = nullptr);

  enum class Unit { kPixels, kCentimetres };

  QString path() const;
  // The size in pixels, whatever unit the fields show.
  QSize pictureSize() const;
  int dpi() const;
  void SetPath(const QString& path);
  // Pixels at the current resolution.
  void SetPictureSize(QSize size);
  // A physical size: centimetres at `dpi` dots per inch.
  void SetCentimetres(double width, double height, int dpi);

 private:
  void Browse();
  void ChangeUnit();
  void ShowSummary();
  Unit unit() const;

  QLineEdit* path_;
  QComboBox* unit_;
  QDoubleSpinBox* width_;
  QDoubleSpinBox* height_;
  QSpinBox* dpi_;
  QLabel* summary_;
  Unit shownUnit_ = Unit::kPixels;
};

// Asks for the file and size and writes the picture; a failure is reported
// through `prompts`. True when a picture was written.
bool ExportPictureInteractively(QWidget* parent, UserPrompts& prompts, const QString& suggestedPath,
                                QSize suggestedSize, const render::PaintRoutine& paint);

// Puts the picture, `size` pixels, on the clipboard.
void CopyPictureToClipboard(QSize size, const render::PaintRoutine& paint);

}  // namespace mornax::gui
