// "View Files": a modeless window that lists a text file line by line, for
// the project's data and result files or any file whose name is typed in.
// The list uses a monospaced font so that the columns of the result records
// stay aligned; it can be searched and its selected lines copied. Large files
// open at once and are indexed while the program goes on answering.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QListView;
class QTimer;

namespace mornax::gui {

class FileLines;
class UserPrompts;

class CViewFilesDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CViewFilesDlg(UserPrompts& prompts, QWidget* parent = nullptr);

  // Shows `name` in the name field and lists the file; an empty name only
  // clears the list. The first part is listed before this returns, the rest
  // while the event loop turns.
  void LoadFile(const QString& name);
  // True while the rest of a file is being indexed.
  bool loading() const;

  QStringList Lines() const;
  int lineCount() const;
  QString FileName() const;
  // Selects the next line holding the text of the search field (from the
  // line after the current one, round to the top); tells the user when none does.
  void FindNext();
  // Puts the selected lines on the clipboard, one per line.
  void CopySelection();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void IndexSlice();

  UserPrompts& prompts_;
  FileLines* lines_;
  QListView* list_;
  QLineEdit* name_;
  QLineEdit* find_;
  QTimer* indexer_;
};

}  // namespace mornax::gui
