// "About mornax": the program icon, its name and version, and OK.
#pragma once

#include <QDialog>

namespace mornax::gui {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace mornax::gui
