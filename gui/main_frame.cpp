#include "gui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QWhatsThis>

#include <algorithm>

#include "gui/about_dialog.h"
#include "gui/directions_window.h"
#include "gui/gis_commands.h"
#include "gui/help_window.h"
#include "gui/map/map_hooks.h"
#include "gui/model_shaping_window.h"
#include "gui/mornax_doc.h"
#include "gui/mornax_view.h"
#include "gui/new_from_data.h"
#include "gui/run_indicators.h"
#include "gui/user_prompts.h"

namespace mornax::gui {
namespace {

constexpr char kRecentKey[] = "Recent File List";
constexpr char kReady[] = "Ready";

// A toolbar icon from the desktop theme, or a plain letter where the theme
// has none.
QIcon ThemeIcon(const QString& name, const QString& letter) {
  QIcon icon = QIcon::fromTheme(name);
  if (!icon.isNull()) return icon;
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(13);
  painter.setFont(font);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, letter);
  return QIcon(pixmap);
}

// The project files of View > "Mornax FiIes", with the index each passes.
struct FileEntry {
  const char* text;
  int index;
};
constexpr FileEntry kFileEntries[] = {
    {"Data values and Network (.DFL)", 1}, {"Semi-Variogram data (.VAR)", 2},
    {"Fitting Data File (.FIT)", 3},       {"Fitting Results FIle (.SOL)", 4},
    {"Error Analysis File (.LST)", 5},     {"Interpolation Results (.DAT)", 6},
    {"Interpolation Values (.LEV)", 7},    {"Another FIles", 0},
};

}  // namespace

CMainFrame::CMainFrame(CMornaxDoc& document, QWidget* parent)
    : QMainWindow(parent), document_(document), view_(new CMornaxView(document, this)) {
  setObjectName("mainFrame");
  setCentralWidget(view_);
  view_->setWhatsThis(
      "The plot of the project: the data map after opening, the semivariogram after its "
      "computation and the fitted model after a fit.");
  document_.SetDialogParent(this);
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  RebuildRecentMenu();
  mapHooks_ = new MapHooks(*this, document_, *view_, fileMenu_);
  gisCommands_ = new GisCommands(*this, document_, fileMenu_);
  setAcceptDrops(true);
  new RunIndicators(*this, *view_, document_);
  connect(&document_, &CMornaxDoc::titleChanged, this, &CMainFrame::UpdateTitle);
  UpdateTitle();
  resize(900, 650);
}

CMainFrame::~CMainFrame() {
  document_.SetDialogParent(nullptr);
}

QAction* CMainFrame::MakeAction(const QString& text, const QString& name,
                                const QString& statusTip) {
  auto* action = new QAction(text, this);
  action->setObjectName(name);
  action->setStatusTip(statusTip);
  action->setWhatsThis(statusTip);
  return action;
}

void CMainFrame::CreateActions() {
  QStyle* s = style();
  auto add = [this](const QString& text, const QString& name, const QString& tip, auto slot,
                    const QKeySequence& key = QKeySequence()) {
    QAction* action = MakeAction(text, name, tip);
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  add("Create New", "actionCreateNew", "Save the active document with a new name",
      [this] { OnFileSaveAs(); });
  add(
      "&New\tCtrl+N", "actionNew", "Create a new document", [this] { OnFileNew(); },
      QKeySequence::New);
  add("New from &Data File...", "actionNewFromData",
      "Start a project from a data file anywhere; the file is copied beside the document",
      [this] { OnFileNewFromData(); });
  add(
      "&Open...\tCtrl+O", "actionOpen", "Open an existing document", [this] { OnFileOpen(); },
      QKeySequence::Open);
  add(
      "&Save\tCtrl+S", "actionSave", "Save the active document", [this] { OnFileSave(); },
      QKeySequence::Save);
  add(
      "&Print...\tCtrl+P", "actionPrint", "Print the active document", [this] { OnFilePrint(); },
      QKeySequence::Print);
  add("Print Pre&view", "actionPrintPreview", "Display full pages",
      [this] { OnFilePrintPreview(); });
  add("P&rint Setup...", "actionPrintSetup", "Change the printer and printing options",
      [this] { OnFilePrintSetup(); });
  add("E&xit", "actionExit", "Quit the application; prompts to save documents",
      [this] { close(); });

  // Editing has no handler: the entries stay disabled.
  const struct {
    const char* text;
    const char* name;
    const char* tip;
    QList<QKeySequence> keys;
  } edits[] = {
      {"&Undo\tCtrl+Z",
       "actionUndo",
       "Undo the last action",
       {QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}},
      {"Cu&t\tCtrl+X",
       "actionCut",
       "Cut the selection and put it on the Clipboard",
       {QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")}},
      {"&Copy\tCtrl+C",
       "actionCopy",
       "Copy the selection and put it on the Clipboard",
       {QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")}},
      {"&Paste\tCtrl+V",
       "actionPaste",
       "Insert Clipboard contents",
       {QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}},
  };
  for (const auto& edit : edits) {
    QAction* action = MakeAction(edit.text, edit.name, edit.tip);
    action->setShortcuts(edit.keys);
    action->setEnabled(false);
  }

  add("Computaion", "actionComputation", "Compute the experimental semivariogram",
      [this] { document_.OnComputation(); });
  add("Fitting", "actionFitting", "Fit a semivariogram model", [this] { document_.OnFitting(); });
  add("Shape Model...", "actionShapeModel",
      "Shape a model over the semivariogram with sliders, fit from it or use it",
      [this] { OnShapeModel(); });
  add("Directions and Variogram Map...", "actionDirections",
      "Semivariograms in several directions and the variogram map, with the model's anisotropy",
      [this] { OnDirections(); });
  add("Distance_Weighting", "actionDistanceWeighting", "Interpolate by distance weighting",
      [this] { document_.OnDistanceWeighting(); });
  add("Kriging", "actionKriging", "Interpolate by kriging", [this] { document_.OnKriging(); });
  add("Bayes_Estimation", "actionBayesEstimation", "Bayesian estimation",
      [this] { document_.OnBayesEstimation(); });
  for (const FileEntry& entry : kFileEntries) {
    add(entry.text, QString("actionShowFile%1").arg(entry.index), "List the file",
        [this, index = entry.index] { document_.OnShowFile(index); });
  }

  add(
      "&Help Topics", "actionHelpTopics", "List Help topics", [this] { OnHelpTopics(); },
      QKeySequence::HelpContents);
  add("&About mornax...", "actionAbout",
      "Display program information, version number and copyright", [this] { OnAppAbout(); })
      ->setIcon(s->standardIcon(QStyle::SP_MessageBoxInformation));
  QAction* contextHelp =
      add("Help", "actionContextHelp", "Display help for clicked buttons, menus and windows",
          [] { QWhatsThis::enterWhatsThisMode(); });
  contextHelp->setShortcut(QKeySequence("Shift+F1"));
  contextHelp->setIcon(
      QIcon::fromTheme("help-contextual", s->standardIcon(QStyle::SP_TitleBarContextHelpButton)));
  addAction(contextHelp);

  findChild<QAction*>("actionNew")->setIcon(s->standardIcon(QStyle::SP_FileIcon));
  findChild<QAction*>("actionOpen")->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
  findChild<QAction*>("actionSave")->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
  findChild<QAction*>("actionCut")->setIcon(ThemeIcon("edit-cut", "X"));
  findChild<QAction*>("actionCopy")->setIcon(ThemeIcon("edit-copy", "C"));
  findChild<QAction*>("actionPaste")->setIcon(ThemeIcon("edit-paste", "V"));
  findChild<QAction*>("actionPrint")->setIcon(ThemeIcon("document-print", "P"));
}

void CMainFrame::CreateMenus() {
  auto action = [this](const char* name) { return findChild<QAction*>(name); };

  fileMenu_ = menuBar()->addMenu("&File");
  fileMenu_->addAction(action("actionCreateNew"));
  fileMenu_->addAction(action("actionNew"));
  fileMenu_->addAction(action("actionNewFromData"));
  fileMenu_->addAction(action("actionOpen"));
  fileMenu_->addAction(action("actionSave"));
  fileMenu_->addSeparator();
  fileMenu_->addAction(action("actionPrint"));
  fileMenu_->addAction(action("actionPrintPreview"));
  fileMenu_->addAction(action("actionPrintSetup"));
  recentSeparator_ = fileMenu_->addSeparator();
  recentPlaceholder_ = fileMenu_->addAction("Recent File");
  recentPlaceholder_->setObjectName("actionRecentFile");
  recentPlaceholder_->setEnabled(false);
  for (int i = 0; i < kRecentFileCount; ++i) {
    auto* recent = new QAction(this);
    recent->setObjectName(QString("actionRecent%1").arg(i + 1));
    recent->setStatusTip("Open this document");
    connect(recent, &QAction::triggered, this, [this, recent] {
      OpenDocumentFile(recent->data().toString());
      RebuildRecentMenu();
    });
    fileMenu_->addAction(recent);
    recentActions_.append(recent);
  }
  fileMenu_->addSeparator();
  fileMenu_->addAction(action("actionExit"));
  // A document deleted since the list was built leaves it when the menu opens.
  connect(fileMenu_, &QMenu::aboutToShow, this, &CMainFrame::RebuildRecentMenu);

  QMenu* edit = menuBar()->addMenu("&Edit");
  for (const char* name : {"actionUndo", "actionCut", "actionCopy", "actionPaste"}) {
    edit->addAction(action(name));
    addAction(action(name));
  }
  edit->insertSeparator(action("actionCut"));

  QMenu* view = menuBar()->addMenu("&View");
  view->setObjectName("menuView");
  // Toolbar and status bar entries are added once the bars exist.
  QMenu* files = view->addMenu("Mornax FiIes");
  files->setObjectName("menuMornaxFiles");
  for (const FileEntry& entry : kFileEntries) {
    files->addAction(action(QString("actionShowFile%1").arg(entry.index).toLatin1().constData()));
  }

  QMenu* semivariogram = menuBar()->addMenu("Semi_variogram");
  semivariogram->addAction(action("actionComputation"));
  semivariogram->addAction(action("actionFitting"));
  semivariogram->addAction(action("actionShapeModel"));
  semivariogram->addAction(action("actionDirections"));

  QMenu* interpolation = menuBar()->addMenu("Interpolation");
  interpolation->addAction(action("actionDistanceWeighting"));
  interpolation->addAction(action("actionKriging"));
  interpolation->addAction(action("actionBayesEstimation"));

  QMenu* help = menuBar()->addMenu("&Help");
  help->addAction(action("actionHelpTopics"));
  help->addSeparator();
  help->addAction(action("actionAbout"));
}

void CMainFrame::CreateToolBar() {
  auto action = [this](const char* name) { return findChild<QAction*>(name); };
  QToolBar* bar = addToolBar("Toolbar");
  bar->setObjectName("toolBar");
  bar->setAllowedAreas(Qt::AllToolBarAreas);
  bar->setMovable(true);
  for (const char* name : {"actionNew", "actionOpen", "actionSave"}) bar->addAction(action(name));
  bar->addSeparator();
  for (const char* name : {"actionCut", "actionCopy", "actionPaste"}) bar->addAction(action(name));
  bar->addSeparator();
  for (const char* name : {"actionPrint", "actionAbout", "actionContextHelp"}) {
    bar->addAction(action(name));
  }
  // Tool tips without the accelerator text of the menu entries.
  for (QAction* a : bar->actions()) a->setToolTip(a->text().section('\t', 0, 0).remove('&'));

  QAction* toggle = bar->toggleViewAction();
  toggle->setText("&Toolbar");
  toggle->setObjectName("actionToolbar");
  toggle->setStatusTip("Show or hide the toolbar");
  QMenu* view = menuBar()->findChild<QMenu*>("menuView");
  view->insertAction(view->actions().value(0), toggle);
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
    auto* label = new QLabel(indicator, bar);
    label->setEnabled(false);
    bar->addPermanentWidget(label);
  }
  bar->showMessage(kReady);

  auto* toggle = new QAction("&Status Bar", this);
  toggle->setObjectName("actionStatusBar");
  toggle->setStatusTip("Show or hide the status bar");
  toggle->setCheckable(true);
  toggle->setChecked(true);
  connect(toggle, &QAction::toggled, bar, &QStatusBar::setVisible);
  QMenu* view = menuBar()->findChild<QMenu*>("menuView");
  QAction* files = view->findChild<QMenu*>("menuMornaxFiles")->menuAction();
  view->insertAction(files, toggle);
  view->insertSeparator(files);
}

DirectionsWindow& CMainFrame::OnDirections() {
  if (directionsWindow_ == nullptr) directionsWindow_ = new DirectionsWindow(document_, this);
  directionsWindow_->Reload();
  directionsWindow_->showNormal();
  directionsWindow_->raise();
  directionsWindow_->activateWindow();
  return *directionsWindow_;
}

ModelShapingWindow& CMainFrame::OnShapeModel() {
  if (shapingWindow_ == nullptr) shapingWindow_ = new ModelShapingWindow(document_, this);
  shapingWindow_->Reload();
  shapingWindow_->showNormal();
  shapingWindow_->raise();
  shapingWindow_->activateWindow();
  return *shapingWindow_;
}

void CMainFrame::UpdateTitle() {
  setWindowTitle(document_.title() + "[*] - " + kProgramTitle);
  setWindowModified(document_.isModified());
}

bool CMainFrame::SaveModified() {
  if (!document_.isModified()) return true;
  switch (document_.prompts().AskSaveChanges(this, document_.title())) {
    case UserPrompts::SaveAnswer::kSave:
      return OnFileSave();
    case UserPrompts::SaveAnswer::kDiscard:
      return true;
    case UserPrompts::SaveAnswer::kCancel:
      break;
  }
  return false;
}

void CMainFrame::OnFileNew() {
  if (document_.isRunning() || !SaveModified()) return;
  document_.OnNewDocument();
}

bool CMainFrame::OpenDocumentFile(const QString& path) {
  if (document_.isRunning() || !SaveModified()) return false;
  if (!document_.OnOpenDocument(path)) return false;
  AddRecentFile(document_.filePath());
  return true;
}

void CMainFrame::OnFileOpen() {
  if (document_.isRunning()) return;
  const QString path = document_.prompts().AskOpenFileName(this);
  if (path.isEmpty()) return;
  // The folder chosen in the file dialog becomes the current directory.
  QDir::setCurrent(QFileInfo(path).absolutePath());
  OpenDocumentFile(path);
}

bool CMainFrame::OnFileSave() {
  if (document_.filePath().isEmpty()) return OnFileSaveAs();
  return document_.OnSaveDocument(document_.filePath());
}

bool CMainFrame::OnFileSaveAs() {
  if (document_.isRunning()) return false;
  const QString suggestion =
      document_.filePath().isEmpty() ? QString("Mornax.mnx") : document_.filePath();
  const QString path = document_.prompts().AskSaveFileName(this, suggestion);
  if (path.isEmpty()) return false;
  QDir::setCurrent(QFileInfo(path).absolutePath());
  if (!document_.OnSaveDocument(path)) return false;
  AddRecentFile(document_.filePath());
  return true;
}

QPrinter& CMainFrame::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void CMainFrame::OnFilePrint() {
  if (document_.isRunning()) return;
  QPrintDialog dialog(&Printer(), this);
  if (document_.prompts().RunDialog(dialog) != QDialog::Accepted) return;
  view_->Print(Printer());
}

void CMainFrame::OnFilePrintPreview() {
  if (document_.isRunning()) return;
  QPrintPreviewDialog dialog(&Printer(), this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, view_,
          [this](QPrinter* printer) { view_->Print(*printer); });
  document_.prompts().RunDialog(dialog);
}

void CMainFrame::OnFilePrintSetup() {
  QPageSetupDialog dialog(&Printer(), this);
  document_.prompts().RunDialog(dialog);
}

bool CMainFrame::PrintDirect(const QString& printerName) {
  const QPrinterInfo printer = printerName.isEmpty() ? QPrinterInfo::defaultPrinter()
                                                     : QPrinterInfo::printerInfo(printerName);
  if (printer.isNull()) {
    document_.prompts().Inform(
        this, printerName.isEmpty()
                  ? QString("No printer is installed: %1 was not printed.").arg(document_.title())
                  : QString("There is no printer %1: %2 was not printed.")
                        .arg(printerName, document_.title()));
    return false;
  }
  Printer().setPrinterName(printer.printerName());
  if (!Printer().isValid() || !view_->Print(Printer())) {
    document_.prompts().Inform(
        this, QString("Printing %1 on %2 failed.").arg(document_.title(), printer.printerName()));
    return false;
  }
  return true;
}

void CMainFrame::OnFileNewFromData() {
  if (document_.isRunning() || !SaveModified()) return;
  const QString path = NewFromDataFile(document_, this);
  if (!path.isEmpty()) AddRecentFile(path);
}

void CMainFrame::OnHelpTopics() {
  if (helpWindow_ == nullptr) helpWindow_ = new HelpWindow(this);
  helpWindow_->show();
  helpWindow_->raise();
  helpWindow_->activateWindow();
}

void CMainFrame::OnAppAbout() {
  AboutDialog dialog(this);
  document_.prompts().RunDialog(dialog);
}

QStringList CMainFrame::recentFiles() const {
  return QSettings().value(kRecentKey).toStringList();
}

void CMainFrame::AddRecentFile(const QString& path) {
  QStringList files = recentFiles();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kRecentFileCount) files.removeLast();
  QSettings().setValue(kRecentKey, files);
  RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
  QStringList files = recentFiles();
  const auto gone = [](const QString& file) { return !QFileInfo::exists(file); };
  if (std::any_of(files.begin(), files.end(), gone)) {
    files.removeIf(gone);
    QSettings().setValue(kRecentKey, files);
  }
  recentPlaceholder_->setVisible(files.isEmpty());
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* action = recentActions_[i];
    const bool used = i < files.size();
    action->setVisible(used);
    action->setData(used ? files[i] : QString());
    action->setText(used ? QString("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i]))
                         : QString());
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (document_.isRunning()) {
    statusBar()->showMessage("A computation is running: stop it with Cancel before leaving.");
    event->ignore();
    return;
  }
  if (!SaveModified()) {
    event->ignore();
    return;
  }
  event->accept();
  // Windows without an owner (the file viewer, the progress report) must not
  // keep the program running once the main window is gone.
  QApplication::quit();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      event->acceptProposedAction();
      OpenDocumentFile(url.toLocalFile());
      return;
    }
  }
}

}  // namespace mornax::gui
