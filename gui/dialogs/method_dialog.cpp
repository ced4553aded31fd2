#include "gui/dialogs/method_dialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "gui/dialogs/number_text.h"
#include "gui/dialogs/radio_group.h"
#include "gui/user_prompts.h"

namespace mornax::gui {

MethodDialog::MethodDialog(UserPrompts& prompts, const QString& title, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle(title);
}

QLineEdit* MethodDialog::FileNameField(const QString* member, const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  edit->setEnabled(false);
  bindings_.push_back({.edit = edit, .textMember = member});
  return edit;
}

QLineEdit* MethodDialog::IntField(int* member, const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  bindings_.push_back({.edit = edit, .intMember = member});
  return edit;
}

QLineEdit* MethodDialog::RealField(float* member, const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  bindings_.push_back({.edit = edit, .realMember = member});
  return edit;
}

QCheckBox* MethodDialog::CheckField(const QString& label, int* member, const QString& name) {
  auto* check = new QCheckBox(label, this);
  check->setObjectName(name);
  bindings_.push_back({.check = check, .intMember = member});
  return check;
}

QGroupBox* MethodDialog::FormBox(const QString& title, const std::vector<Row>& rows) {
  auto* box = new QGroupBox(title, this);
  auto* form = new QFormLayout(box);
  for (const auto& [label, widget] : rows) {
    if (label.isEmpty()) {
      form->addRow(widget);
    } else {
      form->addRow(label, widget);
    }
  }
  return box;
}

QDialogButtonBox* MethodDialog::OkCancelButtons() {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &MethodDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &MethodDialog::reject);
  return buttons;
}

void MethodDialog::AddInterpolationFiles(QBoxLayout& layout, const QString* dataFile,
                                         const QString* lstFile, const QString* datFile,
                                         const QString* levFile) {
  layout.addWidget(
      FormBox("Input Files", {{"Input Data File:", FileNameField(dataFile, "dataFile")}}));
  layout.addWidget(
      FormBox("Output Files", {{"Error Analysis:", FileNameField(lstFile, "lstFile")},
                               {"Result: Nodes and values", FileNameField(datFile, "datFile")},
                               {"Interpolated Values:", FileNameField(levFile, "levFile")}}));
}

void MethodDialog::LoadControls() {
  for (const Binding& b : bindings_) {
    if (b.check != nullptr) {
      b.check->setChecked(*b.intMember != 0);
    } else if (b.textMember != nullptr) {
      b.edit->setText(*b.textMember);
    } else if (b.intMember != nullptr) {
      b.edit->setText(FormatInt(*b.intMember));
    } else {
      b.edit->setText(FormatReal(*b.realMember));
    }
  }
}

bool MethodDialog::StoreControls() {
  // Check every field first so that a refused field changes no member.
  for (const Binding& b : bindings_) {
    if (b.edit == nullptr || b.textMember != nullptr) continue;
    int intValue = 0;
    float realValue = 0.0f;
    const bool ok = b.intMember != nullptr ? ParseInt(b.edit->text(), intValue)
                                           : ParseReal(b.edit->text(), realValue);
    if (!ok) {
      prompts_.Inform(
          this, b.intMember != nullptr ? "Please enter an integer." : "Please enter a number.");
      b.edit->setFocus();
      b.edit->selectAll();
      return false;
    }
  }
  for (const Binding& b : bindings_) {
    if (b.check != nullptr) {
      *b.intMember = b.check->isChecked() ? 1 : 0;
    } else if (b.intMember != nullptr) {
      ParseInt(b.edit->text(), *b.intMember);
    } else if (b.realMember != nullptr) {
      ParseReal(b.edit->text(), *b.realMember);
    }
  }
  return true;
}

void MethodDialog::accept() {
  StoreRadioGroups();
  if (StoreControls()) QDialog::accept();
}

RadioGroup MakeRunModeGroup(QWidget* parent) {
  RadioGroup group(parent, {"Do Error Analysis", "Do Interpolation"}, "runMode");
  group.SetIndex(0);
  return group;
}

int RunModeOf(const RadioGroup& group, int current) {
  const int index = group.Index(-1);
  if (index == 0) return kErrorAnalysisMode;
  if (index == 1) return kInterpolationMode;
  return current;
}

}  // namespace mornax::gui
