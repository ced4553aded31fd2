#include "gui/user_prompts.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
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

}  // namespace mornax::gui
