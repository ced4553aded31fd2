#include "gui/dialogs/crs_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "geo/crs_definition.h"
#include "geo/crs_search.h"

namespace mornax::gui {

CrsDialog::CrsDialog(const QString& current, QWidget* parent)
    : QDialog(parent),
      search_(new QLineEdit(this)),
      results_(new QListWidget(this)),
      definition_(new QLineEdit(this)),
      none_(new QCheckBox("No coordinate system", this)),
      note_(new QLabel(this)) {
  setObjectName("crsDialog");
  setWindowTitle("Coordinate System");
  search_->setObjectName("crsSearch");
  search_->setPlaceholderText("an EPSG code or words of the name: 28992, UTM 33N, Amersfoort");
  results_->setObjectName("crsResults");
  definition_->setObjectName("crsDefinition");
  definition_->setPlaceholderText("EPSG:NNNN, a .prj or .wkt file, or WKT");
  none_->setObjectName("crsNone");
  note_->setObjectName("crsNote");
  note_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow("Now:", new QLabel(current.isEmpty() ? QString("none") : current, this));
  form->addRow("Search:", search_);
  layout->addLayout(form);
  layout->addWidget(results_, 1);
  auto* chosen = new QFormLayout;
  chosen->addRow("System:", definition_);
  chosen->addRow(none_);
  layout->addLayout(chosen);
  layout->addWidget(note_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &CrsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CrsDialog::reject);
  connect(search_, &QLineEdit::textChanged, this, &CrsDialog::Search);
  connect(results_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item != nullptr) definition_->setText(item->data(Qt::UserRole).toString());
  });
  connect(none_, &QCheckBox::toggled, this, [this](bool none) {
    search_->setEnabled(!none);
    results_->setEnabled(!none);
    definition_->setEnabled(!none);
  });
  resize(560, 460);
}

void CrsDialog::Search(const QString& text) {
  results_->clear();
  if (text.trimmed().size() < 2) return;
  for (const geo::CrsEntry& entry : geo::SearchEpsg(text.toStdString())) {
    auto* item = new QListWidgetItem(QString("EPSG:%1  %2%3")
                                         .arg(entry.code)
                                         .arg(QString::fromStdString(entry.name))
                                         .arg(entry.projected ? "" : "  (degrees)"),
                                     results_);
    item->setData(Qt::UserRole, QString("EPSG:%1").arg(entry.code));
  }
  note_->setText(results_->count() == 0 ? "No system of GDAL's EPSG database matches." : "");
}

std::string CrsDialog::Definition() const {
  return none_->isChecked() ? "none" : definition_->text().trimmed().toStdString();
}

void CrsDialog::accept() {
  const std::string definition = Definition();
  if (definition.empty()) {
    note_->setText("Choose a system from the list, give one, or check \"No coordinate system\".");
    return;
  }
  if (definition != "none") {
    std::string wkt, error;
    if (!geo::CrsToWkt(definition, wkt, error)) {
      note_->setText(QString::fromStdString(error));
      return;
    }
  }
  QDialog::accept();
}

}  // namespace mornax::gui
