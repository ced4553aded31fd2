#include "gui/dialogs/method_dialog.h"

#include <algorithm>
#include <cmath>

#include <QBoxLayout>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "project/project.h"

#include "gui/dialogs/number_text.h"
#include "gui/dialogs/radio_group.h"
#include "gui/number_parse.h"
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
  Binding binding;
  binding.edit = edit;
  binding.textMember = member;
  bindings_.push_back(std::move(binding));
  return edit;
}

QLineEdit* MethodDialog::NumberField(Binding binding, const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  binding.edit = edit;
  // A trailing colon belongs to the form, not to the name, and a range in
  // brackets ("[0-2]") is said by the message itself.
  if (binding.label.endsWith(':')) binding.label.chop(1);
  binding.label.remove(QRegularExpression("\\s*\\[[^\\]]*\\]"));
  bindings_.push_back(binding);
  // Checked when the user leaves the field (or presses Enter in it) after
  // changing it.
  connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
    for (const Binding& b : bindings_) {
      if (b.edit == edit) ReportProblem(b);
    }
  });
  return edit;
}

QLineEdit* MethodDialog::IntField(int* member, const QString& name, const QString& label,
                                  const char* field) {
  return NumberField({.intMember = member,
                      .label = label,
                      .field = field != nullptr ? field : name.toStdString(),
                      .below = 0,
                      .belowFile = {},
                      .limitApplies = {}},
                     name);
}

QLineEdit* MethodDialog::RealField(float* member, const QString& name, const QString& label,
                                   const char* field) {
  return NumberField({.realMember = member,
                      .label = label,
                      .field = field != nullptr ? field : name.toStdString(),
                      .below = 0,
                      .belowFile = {},
                      .limitApplies = {}},
                     name);
}

namespace {

// The accepted values in words: "0, 1 or 2" for a short whole-number range.
QString RangeWords(const project::FieldInfo& info) {
  if (info.IsInteger() && !info.lowestExcluded && info.highest - info.lowest == 2.0) {
    return QString("%1, %2 or %3").arg(info.lowest).arg(info.lowest + 1).arg(info.highest);
  }
  return QString::fromStdString(project::RangeText(info));
}

// True when the text is a number of the field's kind (a whole number for an
// int field) that is only too large for the field's type.
bool TooLarge(const QString& text, bool integer) {
  const std::string trimmed = text.toStdString();
  const char* last = trimmed.data() + trimmed.size();
  double value = 0.0;
  if (trimmed.empty() || ParseNumber(trimmed.data(), last, value) != last) return false;
  if (integer) return value == std::floor(value) && std::abs(value) > 2147483647.0;
  return std::abs(value) > 3.4e38;
}

}  // namespace

QString MethodDialog::Problem(const Binding& b) {
  const QString text = b.edit->text().trimmed();
  const project::FieldInfo* info = project::FindField(b.field);
  int intValue = 0;
  float realValue = 0.0f;
  const bool number =
      b.intMember != nullptr ? ParseInt(text, intValue) : ParseReal(text, realValue);
  const QString range = info != nullptr ? RangeWords(*info) : QString();
  const bool anyValue = range.isEmpty() || range == "any";
  if (!number) {
    // A number too large for its field is out of range, not "no number".
    if (TooLarge(text, b.intMember != nullptr)) {
      const QString limits = b.intMember != nullptr
                                 ? QString("a whole number from -2147483648 to 2147483647")
                                 : QString("a number of at most 3.4e38 in size");
      return QString("%1 must be %2; %3 is out of range.")
          .arg(b.label, anyValue ? limits : range, text);
    }
    const QString kind = b.intMember != nullptr ? "a whole number" : "a number";
    return anyValue ? QString("%1 must be %2.").arg(b.label, kind)
                    : QString("%1 must be %2, %3.").arg(b.label, kind, range);
  }
  if (info != nullptr) {
    // The document's own check decides, so the dialog and the batch tool agree.
    project::Records scratch;
    std::string error;
    if (!project::SetField(scratch, b.field, text.toStdString(), error)) {
      return QString("%1 must be %2, not %3.").arg(b.label, range, text);
    }
  }
  if (b.below > 0 && b.intMember != nullptr && intValue >= b.below &&
      (!b.limitApplies || b.limitApplies())) {
    return QString("%1 must be less than the number of data points: %2 holds %3, so at most %4.")
        .arg(b.label, b.belowFile)
        .arg(b.below)
        .arg(b.below - 1);
  }
  return {};
}

bool MethodDialog::ReportProblem(const Binding& b) {
  const QString problem = Problem(b);
  if (problem.isEmpty()) return true;
  prompts_.Inform(this, problem);
  // Back into the field once the message box has given the focus back.
  QTimer::singleShot(0, b.edit, [edit = b.edit] {
    edit->setFocus();
    edit->selectAll();
  });
  return false;
}

QCheckBox* MethodDialog::CheckField(const QString& label, int* member, const QString& name) {
  auto* check = new QCheckBox(label, this);
  check->setObjectName(name);
  Binding binding;
  binding.check = check;
  binding.intMember = member;
  bindings_.push_back(std::move(binding));
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

void MethodDialog::ShowReal(const QString& name, std::optional<float> value) {
  if (!value) return;
  if (auto* edit = findChild<QLineEdit*>(name)) edit->setText(FormatReal(*value));
}

void MethodDialog::ShowFill(const project::SemivariogramFill& fill) {
  ShowReal("sill", fill.sill);
  ShowReal("c", fill.c);
  ShowReal("a", fill.a);
  ShowReal("c0", fill.c0);
  ShowReal("sigma", fill.sigma);
  ShowReal("k", fill.k);
  ShowReal("rho", fill.rho);
  ShowReal("lagD", fill.lagD);
}

QWidget* MethodDialog::FittedModelBox(const QString& mapping, std::function<void()> use,
                                      std::function<void()> useJoint) {
  auto* box = new QGroupBox("Fitted Model", this);
  auto* layout = new QHBoxLayout(box);
  auto* buttons = new QVBoxLayout;
  auto* button = new QPushButton("Use fitted model", box);
  button->setObjectName("useFittedModel");
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, std::move(use));
  buttons->addWidget(button);
  if (useJoint) {
    auto* joint = new QPushButton("Use joint fit of directions", box);
    joint->setObjectName("useJointFit");
    joint->setToolTip("The model fitted to the directions together, with its angle and ratio");
    joint->setAutoDefault(false);
    connect(joint, &QPushButton::clicked, this, std::move(useJoint));
    buttons->addWidget(joint);
  }
  buttons->addStretch(1);
  auto* text = new QLabel(mapping, box);
  text->setObjectName("fittedModelMapping");
  text->setWordWrap(true);
  layout->addLayout(buttons);
  layout->addWidget(text, 1);
  return box;
}

void MethodDialog::LimitNeighbours(const QString& name, int points, const QString& dataFile,
                                   std::function<bool()> applies) {
  if (points <= 0) return;
  for (Binding& b : bindings_) {
    if (b.edit == nullptr || b.edit->objectName() != name) continue;
    b.below = points;
    b.belowFile = dataFile;
    b.limitApplies = std::move(applies);
  }
}

void MethodDialog::SetScrollingLayout(QWidget* body, const std::vector<QWidget*>& footer) {
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("dialogBody");
  scroll_->setWidget(body);
  scroll_->setWidgetResizable(true);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll_, 1);
  for (QWidget* widget : footer) layout->addWidget(widget);
}

void MethodDialog::showEvent(QShowEvent* event) {
  if (scroll_ != nullptr && scroll_->widget() != nullptr) {
    // As tall as the body wants, but no taller than the screen leaves room
    // for: the rest scrolls, and the footer stays in view.
    const QScreen* screen = this->screen();
    const int available = screen != nullptr ? screen->availableGeometry().height() : 768;
    const QSize body = scroll_->widget()->sizeHint();
    const int footer = sizeHint().height() - scroll_->sizeHint().height();
    // Room for the window's title bar and frame.
    constexpr int kFrame = 48;
    const int height = std::max(120, std::min(body.height(), available - footer - kFrame));
    scroll_->setMinimumSize(body.width() + scroll_->verticalScrollBar()->sizeHint().width(),
                            height);
    adjustSize();
    scroll_->setMinimumHeight(std::min(height, 120));
  }
  QDialog::showEvent(event);
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
    if (!ReportProblem(b)) return false;
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
