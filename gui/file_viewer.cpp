#include "gui/file_viewer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/file_lines.h"
#include "gui/user_prompts.h"

namespace mornax::gui {
namespace {

// Bytes indexed before LoadFile returns, and per turn of the event loop
// afterwards (a few milliseconds of work each).
constexpr qint64 kFirstSlice = 2 << 20;
constexpr qint64 kSlice = 1 << 20;

// The desktop's fixed-pitch font, or any monospaced family where the desktop
// names none.
QFont FixedFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (QFontInfo(font).fixedPitch()) return font;
  for (const QString& family : QFontDatabase::families()) {
    if (QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family)) {
      font.setFamily(family);
      if (QFontInfo(font).fixedPitch()) return font;
    }
  }
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

}  // namespace

CViewFilesDlg::CViewFilesDlg(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), lines_(new FileLines(this)), indexer_(new QTimer(this)) {
  setWindowTitle("View Files");
  setModal(false);
  // The viewer has no owner window; it must not keep the program alive.
  setAttribute(Qt::WA_QuitOnClose, false);

  list_ = new QListView(this);
  list_->setObjectName("lines");
  list_->setModel(lines_);
  list_->setFont(FixedFont());
  // Every row has the same height: the view need not measure a million rows.
  list_->setUniformItemSizes(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  name_ = new QLineEdit(this);
  name_->setObjectName("fileName");
  find_ = new QLineEdit(this);
  find_->setObjectName("find");
  find_->setPlaceholderText("Text to find");
  find_->setClearButtonEnabled(true);

  auto* findNext = new QPushButton("Find Next", this);
  findNext->setObjectName("findNext");
  findNext->setAutoDefault(false);
  connect(findNext, &QPushButton::clicked, this, &CViewFilesDlg::FindNext);
  // Enter in the search field finds the next match and goes no further: the
  // dialog's default button (View) would reload the file.
  find_->installEventFilter(this);
  auto* copy = new QPushButton("Copy", this);
  copy->setObjectName("copy");
  copy->setAutoDefault(false);
  connect(copy, &QPushButton::clicked, this, &CViewFilesDlg::CopySelection);

  auto* copyKey = new QAction(this);
  copyKey->setShortcuts(QKeySequence::Copy);
  copyKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(copyKey, &QAction::triggered, this, &CViewFilesDlg::CopySelection);
  list_->addAction(copyKey);
  auto* findKey = new QAction(this);
  findKey->setShortcuts(QKeySequence::Find);
  connect(findKey, &QAction::triggered, this, [this] {
    find_->setFocus();
    find_->selectAll();
  });
  auto* findAgain = new QAction(this);
  findAgain->setShortcuts(QKeySequence::FindNext);
  connect(findAgain, &QAction::triggered, this, &CViewFilesDlg::FindNext);
  addAction(findKey);
  addAction(findAgain);

  auto* search = new QHBoxLayout;
  search->addWidget(find_, 1);
  search->addWidget(findNext);
  search->addWidget(copy);

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
  layout->addLayout(search);
  layout->addWidget(list_);
  layout->addLayout(form);
  layout->addWidget(buttons);
  resize(700, 500);

  connect(indexer_, &QTimer::timeout, this, &CViewFilesDlg::IndexSlice);
}

void CViewFilesDlg::LoadFile(const QString& name) {
  indexer_->stop();
  name_->setText(name);
  lines_->Clear();
  if (name.isEmpty()) return;
  if (lines_->Open(name) != FileLines::Status::kOk) {
    prompts_.Inform(this, " File Not Found!");
    return;
  }
  const FileLines::Status status = lines_->IndexMore(kFirstSlice);
  if (status == FileLines::Status::kOk && !lines_->complete()) {
    indexer_->start(0);
  } else if (status != FileLines::Status::kOk) {
    IndexSlice();  // reports the status
  }
}

void CViewFilesDlg::IndexSlice() {
  const FileLines::Status status = lines_->IndexMore(kSlice);
  if (lines_->complete()) indexer_->stop();
  if (status == FileLines::Status::kTooLong) {
    prompts_.Inform(this, " Insufficient space to view the whole file");
  } else if (status == FileLines::Status::kReadError) {
    prompts_.Inform(this, " ERROR Reading File");
  }
}

bool CViewFilesDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == find_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      FindNext();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool CViewFilesDlg::loading() const {
  return indexer_->isActive();
}

QStringList CViewFilesDlg::Lines() const {
  QStringList lines;
  for (int i = 0; i < lines_->rowCount(); ++i) lines.append(lines_->Line(i));
  return lines;
}

int CViewFilesDlg::lineCount() const {
  return lines_->rowCount();
}

QString CViewFilesDlg::FileName() const {
  return name_->text();
}

void CViewFilesDlg::FindNext() {
  const QString text = find_->text();
  if (text.isEmpty()) return;
  const QModelIndex current = list_->currentIndex();
  const int row = lines_->Find(text, current.isValid() ? current.row() + 1 : 0);
  if (row < 0) {
    prompts_.Inform(this, QString(" \"%1\" not found").arg(text));
    return;
  }
  const QModelIndex found = lines_->index(row);
  list_->setCurrentIndex(found);
  list_->scrollTo(found, QAbstractItemView::PositionAtCenter);
}

void CViewFilesDlg::CopySelection() {
  QModelIndexList selected = list_->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  std::sort(selected.begin(), selected.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  QStringList text;
  for (const QModelIndex& index : selected) text.append(lines_->Line(index.row()));
  QApplication::clipboard()->setText(text.join('\n') + '\n');
}

}  // namespace mornax::gui
