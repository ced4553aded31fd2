// Everything the program asks of the user through a modal window: message
// boxes, the modal run of a dialog, the file dialogs and the save question.
// The program uses QtPrompts; the tests answer with a script instead.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace mornax::gui {

class UserPrompts {
 public:
  enum class SaveAnswer { kSave, kDiscard, kCancel };

  virtual ~UserPrompts() = default;

  // A plain information box with an OK button.
  virtual void Inform(QWidget* parent, const QString& text) = 0;
  // Runs the dialog modally; returns QDialog::Accepted or QDialog::Rejected.
  virtual int RunDialog(QDialog& dialog) = 0;
  // A document file to open or to save to; empty when the user cancelled.
  virtual QString AskOpenFileName(QWidget* parent) = 0;
  virtual QString AskSaveFileName(QWidget* parent, const QString& suggestion) = 0;
  virtual SaveAnswer AskSaveChanges(QWidget* parent, const QString& documentName) = 0;
  // Any file, to take the data of a new project from; empty when cancelled.
  virtual QString AskDataFileName(QWidget* parent) = 0;
  // A line of text, offered as `suggestion`; empty when cancelled.
  virtual QString AskText(QWidget* parent, const QString& title, const QString& label,
                          const QString& suggestion) = 0;
  // A question answered with Yes (true) or No.
  virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
};

class QtPrompts : public UserPrompts {
 public:
  void Inform(QWidget* parent, const QString& text) override;
  int RunDialog(QDialog& dialog) override;
  QString AskOpenFileName(QWidget* parent) override;
  QString AskSaveFileName(QWidget* parent, const QString& suggestion) override;
  SaveAnswer AskSaveChanges(QWidget* parent, const QString& documentName) override;
  QString AskDataFileName(QWidget* parent) override;
  QString AskText(QWidget* parent, const QString& title, const QString& label,
                  const QString& suggestion) override;
  bool AskYesNo(QWidget* parent, const QString& text) override;
};

// The title of the program's message boxes and main window.
inline constexpr char kProgramTitle[] = "mornax";
// The file filter of the document type.
inline constexpr char kDocumentFilter[] = "Mornax Files (*.mnx)";

}  // namespace mornax::gui
