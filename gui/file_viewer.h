// "View Files": a modeless window that lists a text file line by line, for
// the project's data and result files or any file whose name is typed in.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QListWidget;

namespace mornax::gui {

class UserPrompts;

class CViewFilesDlg : public QDialog {
  Q_OBJECT

 public:
  // Lines of one file the list shows at most.
  static constexpr int kMaxLines = 1000000;

  explicit CViewFilesDlg(UserPrompts& prompts, QWidget* parent = nullptr);

  // Shows `name` in the name field and lists the file; an empty name only
  // clears the list.
  void LoadFile(const QString& name);

  QStringList Lines() const;
  QString FileName() const;

 private:
  UserPrompts& prompts_;
  QListWidget* list_;
  QLineEdit* name_;
};

}  // namespace mornax::gui
