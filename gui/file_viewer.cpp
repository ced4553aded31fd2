#include "gui/file_viewer.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/user_prompts.h"

namespace mornax::gui {
namespace {

// Lines are read in pieces of at most 99 characters; a longer line arrives
// as several list entries.
constexpr qint64 kLineBuffer = 100;

// The line end becomes a blank; a piece without one (the middle of a long
// line, or a last line without a line end) keeps every character.
QString ListEntry(QByteArray piece) {
  if (piece.endsWith('\n')) {
    piece.chop(1);
    if (piece.endsWith('\r')) piece.chop(1);
    piece.append(' ');
  }
  return QString::fromUtf8(piece);
}

}  // namespace

CViewFilesDlg::CViewFilesDlg(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle("View Files");
  setModal(false);
  // The viewer has no owner window; it must not keep the program alive.
  setAttribute(Qt::WA_QuitOnClose, false);

  list_ = new QListWidget(this);
  list_->setObjectName("lines");
  QFont fixed("Monospace");
  fixed.setStyleHint(QFont::TypeWriter);
  list_->setFont(fixed);
  name_ = new QLineEdit(this);
  name_->setObjectName("fileName");

  auto* form = new QFormLayout;
  form->addRow("Filename:", name_);
  auto* buttons = new QDialogButtonBox(this);
  auto* view = buttons->addButton("View", QDialogButtonBox::ActionRole);
  view->setObjectName("view");
  view->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(view, &QPushButton::clicked, this, [this] { LoadFile(name_->text()); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(form);
  layout->addWidget(buttons);
  resize(640, 480);
}

void CViewFilesDlg::LoadFile(const QString& name) {
  name_->setText(name);
  list_->clear();
  if (name.isEmpty()) return;

  // Read access is all a viewer needs: a read-only file is listed.
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) {
    prompts_.Inform(this, " File Not Found!");
    return;
  }
  QStringList entries;
  while (!file.atEnd()) {
    const QByteArray piece = file.readLine(kLineBuffer);
    if (piece.isEmpty() && file.error() != QFileDevice::NoError) {
      list_->addItems(entries);
      prompts_.Inform(this, " ERROR Reading File");
      return;
    }
    if (entries.size() >= kMaxLines) {
      list_->addItems(entries);
      prompts_.Inform(this, " Insufficient space to view the whole file");
      return;
    }
    entries.append(ListEntry(piece));
  }
  list_->addItems(entries);
}

QStringList CViewFilesDlg::Lines() const {
  QStringList lines;
  for (int i = 0; i < list_->count(); ++i) lines.append(list_->item(i)->text());
  return lines;
}

QString CViewFilesDlg::FileName() const {
  return name_->text();
}

}  // namespace mornax::gui
