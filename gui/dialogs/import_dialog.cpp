#include "gui/dialogs/import_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "geo/crs_definition.h"

namespace mornax::gui {
namespace {

constexpr char kGeometry[] = "(point geometry)";
constexpr char kNoGuess[] = "(none)";

// The first field whose name matches `pattern` (case ignored), else -1.
int FieldLike(const geo::SourceFields& fields, const char* pattern) {
  const QRegularExpression like(pattern, QRegularExpression::CaseInsensitiveOption);
  for (std::size_t i = 0; i < fields.fields.size(); ++i) {
    if (like.match(QString::fromStdString(fields.fields[i])).hasMatch()) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace

ImportDialog::ImportDialog(QWidget* parent)
    : QDialog(parent),
      source_(new QLineEdit(this)),
      layer_(new QComboBox(this)),
      x_(new QComboBox(this)),
      y_(new QComboBox(this)),
      z_(new QComboBox(this)),
      guess_(new QComboBox(this)),
      crs_(new QLineEdit(this)),
      title_(new QLineEdit(this)),
      about_(new QLabel(this)) {
  setObjectName("importDialog");
  setWindowTitle("Import Points");
  source_->setObjectName("importSource");
  layer_->setObjectName("importLayer");
  x_->setObjectName("importX");
  y_->setObjectName("importY");
  z_->setObjectName("importZ");
  guess_->setObjectName("importGuess");
  crs_->setObjectName("importCrs");
  crs_->setPlaceholderText("the source's own; EPSG:NNNN for a CSV without one");
  title_->setObjectName("importTitle");
  title_->setPlaceholderText("the data file's title, else \"Points from SOURCE\"");
  about_->setObjectName("importAbout");
  about_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  auto* sourceRow = new QHBoxLayout;
  sourceRow->addWidget(source_, 1);
  auto* browse = new QPushButton("Browse...", this);
  browse->setAutoDefault(false);
  sourceRow->addWidget(browse);
  form->addRow("Source:", sourceRow);
  form->addRow("Layer:", layer_);
  form->addRow("X:", x_);
  form->addRow("Y:", y_);
  form->addRow("Value:", z_);
  form->addRow("Guess:", guess_);
  form->addRow("Source system:", crs_);
  form->addRow("Title:", title_);
  layout->addLayout(form);
  layout->addWidget(about_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Import");
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ImportDialog::reject);
  connect(browse, &QPushButton::clicked, this, &ImportDialog::Browse);
  connect(source_, &QLineEdit::editingFinished, this, [this] {
    if (source_->text() != described_) SetSource(source_->text());
  });
  connect(layer_, &QComboBox::activated, this,
          [this] { SetSource(source_->text(), layer_->currentText()); });
  resize(520, 0);
}

void ImportDialog::Browse() {
  const QString name = QFileDialog::getOpenFileName(
      this, "Import Points", QString(),
      "GIS sources (*.csv *.gpkg *.shp *.geojson *.json);;All files (*)");
  if (name.isEmpty()) return;
  source_->setText(name);
  SetSource(name);
}

void ImportDialog::SetSource(const QString& source, const QString& layer) {
  source_->setText(source);
  described_ = source;
  std::string error;
  if (!geo::DescribeSource(source.toStdString(), layer.toStdString(), fields_, error)) {
    fields_ = geo::SourceFields{};
    about_->setText(QString::fromStdString(error));
  } else {
    about_->setText(QString("%1 field(s)%2; coordinate system: %3")
                        .arg(fields_.fields.size())
                        .arg(fields_.pointGeometry ? ", point geometries" : "")
                        .arg(fields_.crs.empty() ? QString("none (state one for a CSV)")
                                                 : QString::fromStdString(fields_.crs)));
  }
  layer_->clear();
  for (const std::string& name : fields_.layers) layer_->addItem(QString::fromStdString(name));
  layer_->setCurrentText(QString::fromStdString(fields_.layer));
  FillFieldChoices();
}

void ImportDialog::FillFieldChoices() {
  for (QComboBox* box : {x_, y_, z_, guess_}) box->clear();
  x_->addItem(kGeometry);
  y_->addItem(kGeometry);
  guess_->addItem(kNoGuess);
  for (const std::string& field : fields_.fields) {
    const QString name = QString::fromStdString(field);
    for (QComboBox* box : {x_, y_, z_, guess_}) box->addItem(name);
  }
  // Fields named like coordinates are the coordinates of a table without a
  // point geometry; the value is the first other number.
  if (!fields_.pointGeometry) {
    const int x = FieldLike(fields_, "^(x|easting|east|lon|longitude)$");
    const int y = FieldLike(fields_, "^(y|northing|north|lat|latitude)$");
    if (x >= 0 && y >= 0) {
      x_->setCurrentIndex(x + 1);
      y_->setCurrentIndex(y + 1);
    }
  }
  // The value: the first numeric field that is no coordinate or identifier;
  // in a text table (a CSV's fields are text) the last such field.
  const QRegularExpression notValue("^(x|y|id|fid|easting|northing|lon|lat|longitude|latitude)$",
                                    QRegularExpression::CaseInsensitiveOption);
  int value = -1;
  for (std::size_t i = 0; i < fields_.fields.size(); ++i) {
    const int index = static_cast<int>(i);
    if (x_->currentIndex() == index + 1 || y_->currentIndex() == index + 1 ||
        notValue.match(QString::fromStdString(fields_.fields[i])).hasMatch()) {
      continue;
    }
    if (fields_.numeric[i]) {
      value = index;
      break;
    }
    value = index;
  }
  if (value >= 0) z_->setCurrentIndex(value);
}

bool ImportDialog::Request(geo::ImportRequest& request, std::optional<std::string>& title,
                           std::string& error) const {
  request = geo::ImportRequest{};
  if (source_->text().trimmed().isEmpty()) {
    error = "name the source to import";
    return false;
  }
  if (z_->currentIndex() < 0) {
    error = "the source has no field to take the values from";
    return false;
  }
  if ((x_->currentIndex() == 0) != (y_->currentIndex() == 0)) {
    error = "choose fields for both X and Y, or the point geometry for both";
    return false;
  }
  request.source = source_->text().trimmed().toStdString();
  request.layer = layer_->currentText().toStdString();
  request.zField = z_->currentText().toStdString();
  if (guess_->currentIndex() > 0) request.guessField = guess_->currentText().toStdString();
  if (x_->currentIndex() > 0) {
    request.xField = x_->currentText().toStdString();
    request.yField = y_->currentText().toStdString();
  }
  if (!crs_->text().trimmed().isEmpty()) {
    std::string wkt;
    if (!geo::CrsToWkt(crs_->text().trimmed().toStdString(), wkt, error)) {
      error = "source system: " + error;
      return false;
    }
    request.sourceCrs = wkt;
  }
  title.reset();
  if (!title_->text().trimmed().isEmpty()) title = title_->text().trimmed().toStdString();
  return true;
}

void ImportDialog::accept() {
  geo::ImportRequest request;
  std::optional<std::string> title;
  std::string error;
  if (!Request(request, title, error)) {
    about_->setText(QString::fromStdString(error));
    return;
  }
  QDialog::accept();
}

}  // namespace mornax::gui
