// A group of radio buttons exchanged as a 0-based index: exactly one button
// is checked after SetIndex with a valid index, none with an invalid one.
#pragma once

#include <vector>

#include <QString>
#include <QStringList>

class QButtonGroup;
class QGroupBox;
class QRadioButton;
class QWidget;

namespace mornax::gui {

class RadioGroup {
 public:
  // The buttons are children of `parent`; `name` prefixes their object names
  // (name_0, name_1, ...).
  RadioGroup(QWidget* parent, const QStringList& labels, const QString& name);

  // Checks button `index` and unchecks every other one.
  void SetIndex(int index);
  // The index of the checked button (the last one if several are); `current`
  // when none is checked.
  int Index(int current) const;

  const std::vector<QRadioButton*>& buttons() const { return buttons_; }
  // A box holding the buttons in `columns` columns, filled row by row.
  QGroupBox* MakeBox(const QString& title, int columns = 1) const;

 private:
  QWidget* parent_;
  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
};

}  // namespace mornax::gui
