// The common part of the method dialogs: controls bound to the dialog's
// members, loaded when the dialog is built and read back on OK after every
// numeric field has been checked. A numeric field is checked against the
// range of its document field (the same ranges the batch tool's "set"
// applies) when it loses focus and again on OK; the message names the field
// as its label shows it and the values it takes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QDialog>
#include <QString>

#include "mornax.h"
#include "project/fitted_model.h"
#include "project/model_terms.h"

class QBoxLayout;
class QCheckBox;
class QDialogButtonBox;
class QGroupBox;
class QLineEdit;
class QScrollArea;

namespace mornax::gui {

class UserPrompts;
class RadioGroup;

// A run-mode choice: "Do Error Analysis" gives 1, "Do Interpolation" 2.
inline constexpr int kErrorAnalysisMode = MNX_MODE_ERROR_ANALYSIS;
inline constexpr int kInterpolationMode = MNX_MODE_INTERPOLATION;

class MethodDialog : public QDialog {
  Q_OBJECT

 public:
  // OK: the dialog's own radio-group step, then the data exchange; the dialog
  // stays open with a message when a numeric field does not hold a number.
  void accept() override;

 protected:
  MethodDialog(UserPrompts& prompts, const QString& title, QWidget* parent);

  // Read-only field showing a project file name.
  QLineEdit* FileNameField(const QString* member, const QString& name);
  // `label` names the field in messages; `field` is its document field
  // (by default `name`).
  QLineEdit* IntField(int* member, const QString& name, const QString& label,
                      const char* field = nullptr);
  QLineEdit* RealField(float* member, const QString& name, const QString& label,
                       const char* field = nullptr);
  QCheckBox* CheckField(const QString& label, int* member, const QString& name);

  using Row = std::pair<QString, QWidget*>;
  // A group box with one labelled row per control.
  QGroupBox* FormBox(const QString& title, const std::vector<Row>& rows);
  QDialogButtonBox* OkCancelButtons();
  // "Input Files" (the .dfl name) and "Output Files" (the .lst, .dat and .lev
  // names) of the interpolation dialogs.
  void AddInterpolationFiles(QBoxLayout& layout, const QString* dataFile, const QString* lstFile,
                             const QString* datFile, const QString* levFile);

  // Members into the controls (called once the members are set).
  void LoadControls();

  UserPrompts& prompts() const { return prompts_; }
  // Shows `value` in the real field `name`; nothing when there is no value.
  void ShowReal(const QString& name, std::optional<float> value);
  // A fit's semivariogram values in the fields of the same names that the
  // dialog has.
  void ShowFill(const project::SemivariogramFill& fill);
  // "Use fitted model" and the statement of what it fills, for the kriging
  // and Bayes dialogs; `use` runs on a click. With `useJoint`, a second
  // button takes the joint fit of the directions (model, parameters, angle
  // and ratio).
  QWidget* FittedModelBox(const QString& mapping, std::function<void()> use,
                          std::function<void()> useJoint = {});

  // "Anisotropy and Further Structures" of the kriging and Bayes dialogs:
  // the angle and ratio of the model above and up to two further structures,
  // each checked by its document field like every other number.
  QGroupBox* ModelTermsBox(project::ModelTermsRecord& terms);

  // A joint fit into the semivariogram fields and the anisotropy fields.
  void ShowJointFit(const project::JointFittedModel& fit);

  // Refuses a neighbour count in the int field `name` at or above the
  // `points` data points of `dataFile` (a count of 0 is unknown: no limit).
  // `applies` tells whether the field is used at all (always when unset).
  void LimitNeighbours(const QString& name, int points, const QString& dataFile,
                       std::function<bool()> applies = {});

  // Lays the dialog out as `body`, scrolled when the screen is too small for
  // it, above `footer` (the run mode, OK and Cancel), which stays in view.
  void SetScrollingLayout(QWidget* body, const std::vector<QWidget*>& footer);

  // Radio-group states into the members, before the data exchange on OK.
  virtual void StoreRadioGroups() {}

 private:
  struct Binding {
    QLineEdit* edit = nullptr;
    QCheckBox* check = nullptr;
    int* intMember = nullptr;
    float* realMember = nullptr;
    const QString* textMember = nullptr;
    QString label;
    std::string field;
    // A neighbour count: values at or above `below` are refused while
    // `limitApplies` says the field is used.
    int below = 0;
    QString belowFile;
    std::function<bool()> limitApplies;
  };
  QLineEdit* NumberField(Binding binding, const QString& name);
  bool StoreControls();
  // Empty when the field's text is a value its document field accepts;
  // otherwise the message for the user.
  static QString Problem(const Binding& binding);
  // Reports a problem with the field and puts the cursor back into it.
  bool ReportProblem(const Binding& binding);

  UserPrompts& prompts_;
  std::vector<Binding> bindings_;
  QScrollArea* scroll_ = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};

// The run-mode pair of the interpolation dialogs.
RadioGroup MakeRunModeGroup(QWidget* parent);
// 1 when "Do Error Analysis" is checked, 2 when "Do Interpolation" is,
// `current` when neither is.
int RunModeOf(const RadioGroup& group, int current);

}  // namespace mornax::gui
