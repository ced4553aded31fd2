// Help Topics: a short guide to the workflow, shown in its own window.
#pragma once

#include <QDialog>

namespace mornax::gui {

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);
};

}  // namespace mornax::gui
