// File > Export Picture: the dialog that asks for the file (PNG, SVG or PDF
// by its extension) and the picture's size, and the export itself; and the
// picture for Edit > Copy.
#pragma once

#include <QDialog>
#include <QSize>

#include "gui/render/picture_export.h"

class QLineEdit;
class QSpinBox;

namespace mornax::gui {

class UserPrompts;

class PictureExportDialog : public QDialog {
  Q_OBJECT

 public:
  PictureExportDialog(const QString& suggestedPath, QSize suggestedSize, QWidget* parent = nullptr);

  QString path() const;
  QSize pictureSize() const;
  void SetPath(const QString& path);
  void SetPictureSize(QSize size);

 private:
  void Browse();

  QLineEdit* path_;
  QSpinBox* width_;
  QSpinBox* height_;
};

// Asks for the file and size and writes the picture; a failure is reported
// through `prompts`. True when a picture was written.
bool ExportPictureInteractively(QWidget* parent, UserPrompts& prompts, const QString& suggestedPath,
                                QSize suggestedSize, const render::PaintRoutine& paint);

// Puts the picture, `size` pixels, on the clipboard.
void CopyPictureToClipboard(QSize size, const render::PaintRoutine& paint);

}  // namespace mornax::gui
