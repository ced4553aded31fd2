#include "gui/user_prompts.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace mornax::gui {

void QtPrompts::Inform(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, kProgramTitle, text);
}

int QtPrompts::RunDialog(QDialog& dialog) {
  return dialog.exec();
}

QString QtPrompts::AskOpenFileName(QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, "Open", QDir::currentPath(), kDocumentFilter);
}

QString QtPrompts::AskSaveFileName(QWidget* parent, const QString& suggestion) {
  QFileDialog dialog(parent, "Save As", QDir::currentPath(), kDocumentFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("mnx");
  dialog.selectFile(suggestion);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

UserPrompts::SaveAnswer QtPrompts::AskSaveChanges(QWidget* parent, const QString& documentName) {
  const auto answer = QMessageBox::question(
      parent, kProgramTitle, QString("Save changes to %1?").arg(documentName),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (answer == QMessageBox::Yes) return SaveAnswer::kSave;
  if (answer == QMessageBox::No) return SaveAnswer::kDiscard;
  return SaveAnswer::kCancel;
}

QString QtPrompts::AskDataFileName(QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, "New from Data File", QDir::currentPath(),
                                      "Data files (*.dfl *.DFL *.txt *.dat);;All files (*)");
}

QString QtPrompts::AskText(QWidget* parent, const QString& title, const QString& label,
                           const QString& suggestion) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent, title, label, QLineEdit::Normal, suggestion, &ok);
  return ok ? text : QString();
}

bool QtPrompts::AskYesNo(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, kProgramTitle, text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace mornax::gui
