#include "gui/dialogs/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

namespace mornax::gui {

RadioGroup::RadioGroup(QWidget* parent, const QStringList& labels, const QString& name)
    : parent_(parent), group_(new QButtonGroup(parent)) {
  for (int i = 0; i < labels.size(); ++i) {
    auto* button = new QRadioButton(labels[i], parent);
    button->setObjectName(QString("%1_%2").arg(name).arg(i));
    group_->addButton(button, i);
    buttons_.push_back(button);
  }
}

void RadioGroup::SetIndex(int index) {
  // An exclusive group cannot be left without a checked button.
  group_->setExclusive(false);
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) buttons_[i]->setChecked(i == index);
  group_->setExclusive(true);
}

int RadioGroup::Index(int current) const {
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
    if (buttons_[i]->isChecked()) current = i;
  }
  return current;
}

QGroupBox* RadioGroup::MakeBox(const QString& title, int columns) const {
  auto* box = new QGroupBox(title, parent_);
  auto* layout = new QGridLayout(box);
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
    layout->addWidget(buttons_[i], i / columns, i % columns);
  }
  return box;
}

}  // namespace mornax::gui
