// Helpers of the program's tests: an offscreen application, prompts answered
// by the test, and a recorder in place of the computation library.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gui/user_prompts.h"
#include "mornax.h"

namespace mornax::testing {

// Owns the application object of a test program. It goes before main()
// returns: an application destroyed among the static objects at exit would
// outlive parts of the toolkit it still uses.
class GuiEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { app.reset(); }
  std::unique_ptr<QApplication> app;
};

// The one application object of a test program, on the offscreen platform.
inline QApplication& GuiApp() {
  static int argc = 1;
  static char name[] = "mornax-test";
  static char* argv[] = {name, nullptr};
  // GoogleTest takes ownership of the registered environment.
  static GuiEnvironment* const environment = [] {
    auto* registered = new GuiEnvironment;
    ::testing::AddGlobalTestEnvironment(registered);
    return registered;
  }();
  if (!environment->app) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    environment->app = std::make_unique<QApplication>(argc, argv);
    QApplication::setOrganizationName("mornax-test");
    QApplication::setApplicationName("mornax-test");
  }
  return *environment->app;
}

// Answers every prompt from the test's script and records the messages.
class ScriptedPrompts : public gui::UserPrompts {
 public:
  void Inform(QWidget*, const QString& text) override { messages.push_back(text.toStdString()); }
  int RunDialog(QDialog& dialog) override {
    ++dialogsRun;
    return onDialog ? onDialog(dialog) : QDialog::Rejected;
  }
  QString AskOpenFileName(QWidget*) override { return openName; }
  QString AskSaveFileName(QWidget*, const QString&) override { return saveName; }
  SaveAnswer AskSaveChanges(QWidget*, const QString&) override {
    ++saveQuestions;
    return saveAnswer;
  }
  QString AskDataFileName(QWidget*) override { return dataName; }
  QString AskText(QWidget*, const QString&, const QString&, const QString& suggestion) override {
    offered.push_back(suggestion.toStdString());
    if (textAnswers.empty()) return {};
    const QString answer = textAnswers.front();
    textAnswers.erase(textAnswers.begin());
    return answer;
  }
  bool AskYesNo(QWidget*, const QString& text) override {
    questions.push_back(text.toStdString());
    return yesAnswer;
  }

  std::vector<std::string> messages;
  std::function<int(QDialog&)> onDialog;  // unset: every dialog is cancelled
  int dialogsRun = 0;
  QString openName, saveName;
  SaveAnswer saveAnswer = SaveAnswer::kDiscard;
  int saveQuestions = 0;
  QString dataName;
  std::vector<QString> textAnswers;  // answered in turn; none left: cancelled
  std::vector<std::string> offered, questions;
  bool yesAnswer = false;
};

// Presses the dialog's OK button as the user would; returns the result.
inline int PressOk(QDialog& dialog) {
  auto* box = dialog.findChild<QDialogButtonBox*>();
  box->button(QDialogButtonBox::Ok)->click();
  return dialog.result();
}

// A dialog handler that lets `edit` change a dialog of type T, then presses OK.
template <typename T>
std::function<int(QDialog&)> AcceptWith(std::function<void(T&)> edit = {}) {
  return [edit](QDialog& dialog) {
    auto* typed = dynamic_cast<T*>(&dialog);
    if (typed == nullptr) {
      ADD_FAILURE() << "unexpected dialog " << dialog.windowTitle().toStdString();
      return static_cast<int>(QDialog::Rejected);
    }
    if (edit) edit(*typed);
    return PressOk(dialog);
  };
}

inline QLineEdit* Field(QWidget& dialog, const char* name) {
  auto* edit = dialog.findChild<QLineEdit*>(name);
  EXPECT_NE(edit, nullptr) << name;
  return edit;
}

inline void SetField(QWidget& dialog, const char* name, const QString& text) {
  if (QLineEdit* edit = Field(dialog, name)) edit->setText(text);
}

inline QRadioButton* Radio(QWidget& dialog, const QString& name) {
  auto* button = dialog.findChild<QRadioButton*>(name);
  EXPECT_NE(button, nullptr) << name.toStdString();
  return button;
}

// The names of the checked buttons of group `prefix` (prefix_0, prefix_1, ...).
inline std::vector<int> Checked(QWidget& dialog, const QString& prefix) {
  std::vector<int> checked;
  for (int i = 0;; ++i) {
    auto* button = dialog.findChild<QRadioButton*>(QString("%1_%2").arg(prefix).arg(i));
    if (button == nullptr) break;
    if (button->isChecked()) checked.push_back(i);
  }
  return checked;
}

// Stands in for the computation library and records its calls.
struct EngineCall {
  int task, method, mode;
  FILENAME fileName;
  SVAR svar;
  FVAR fvar;
  IPL ipl;
};

inline std::vector<EngineCall>& EngineCalls() {
  static std::vector<EngineCall> calls;
  return calls;
}

inline void RecordingEngine(int task, int method, int mode, FILENAME* fileName, SVAR* svar,
                            FVAR* fvar, IPL* ipl) {
  EngineCalls().push_back({task, method, mode, *fileName, *svar, *fvar, *ipl});
}

}  // namespace mornax::testing
