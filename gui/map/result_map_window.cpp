#include "gui/map/result_map_window.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>

#include "gui/map/map_canvas.h"
#include "gui/map/picture_dialog.h"
#include "gui/user_prompts.h"

namespace mornax::gui {
namespace {

constexpr render::MapLayer kLayers[] = {render::MapLayer::kEstimate,
                                        render::MapLayer::kStandardError, render::MapLayer::kGuess,
                                        render::MapLayer::kResiduals};
constexpr const char* kLayerTexts[] = {"Estimate", "Standard error", "Guess",
                                       "Residuals (error analysis)"};

// The project's result file with `extension`, in any case, as the engine
// matches names; a missing file when there is none.
QFileInfo ResultFile(const QString& documentPath, const QString& extension) {
  const QFileInfo document(documentPath);
  const QDir folder = document.absoluteDir();
  const QString wanted = document.completeBaseName() + extension;
  for (const QString& name : folder.entryList(QDir::Files)) {
    if (name.compare(wanted, Qt::CaseInsensitive) == 0) return QFileInfo(folder.filePath(name));
  }
  return QFileInfo(folder.filePath(wanted));
}

}  // namespace

ResultMapWindow::ResultMapWindow(UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      prompts_(prompts),
      canvas_(new MapCanvas(this)),
      layer_(new QComboBox(this)),
      levels_(new QComboBox(this)) {
  setObjectName("resultMapWindow");
  setWindowTitle("Result Map");
  setCentralWidget(canvas_);
  for (const char* text : kLayerTexts) layer_->addItem(text);
  layer_->setObjectName("mapLayer");
  levels_->setObjectName("mapLevels");
  levels_->setEditable(true);
  levels_->addItems({"lev", "auto"});
  levels_->setToolTip(
      "Contour levels: lev (the levels of the .lev file), auto (round levels), or values "
      "V1,V2,...");
  levels_->setMinimumContentsLength(12);

  QToolBar* bar = addToolBar("Map");
  bar->setObjectName("mapToolBar");
  bar->addWidget(new QLabel(" Layer: ", bar));
  bar->addWidget(layer_);
  bar->addWidget(new QLabel("  Contours: ", bar));
  bar->addWidget(levels_);
  bar->addSeparator();
  QAction* fit = bar->addAction("Fit to Window", canvas_, &MapCanvas::FitToWindow);
  fit->setObjectName("actionMapFit");
  fit->setShortcut(QKeySequence("Ctrl+0"));
  QAction* reload = bar->addAction("Reload", this, &ResultMapWindow::Reload);
  reload->setObjectName("actionMapReload");
  reload->setShortcut(QKeySequence::Refresh);
  QAction* exportPicture =
      bar->addAction("Export Picture...", this, &ResultMapWindow::ExportPicture);
  exportPicture->setObjectName("actionMapExport");
  QAction* print = bar->addAction("Print...", this, &ResultMapWindow::Print);
  print->setObjectName("actionMapPrint");
  print->setShortcut(QKeySequence::Print);
  QAction* copy = bar->addAction("Copy", this, &ResultMapWindow::CopyPicture);
  copy->setObjectName("actionMapCopy");
  copy->setShortcut(QKeySequence::Copy);

  connect(layer_, &QComboBox::activated, this, &ResultMapWindow::Reload);
  connect(levels_, &QComboBox::activated, this, &ResultMapWindow::Reload);
  connect(levels_->lineEdit(), &QLineEdit::returnPressed, this, &ResultMapWindow::Reload);
  connect(canvas_, &MapCanvas::readOutChanged, this, [this](const QString& text) {
    if (text.isEmpty()) {
      statusBar()->clearMessage();
    } else {
      statusBar()->showMessage(text);
    }
  });
  resize(900, 700);
}

void ResultMapWindow::ShowProject(const QString& documentPath) {
  document_ = documentPath;
  Reload();
  show();
  raise();
}

void ResultMapWindow::Reload() {
  if (document_.isEmpty()) {
    canvas_->SetScene(render::FailedScene(
        "", "No project: open or save a document, run an interpolation, then show its map."));
    return;
  }
  render::MapRequest request;
  request.layer = layer();
  request.levels = levels_->currentText().trimmed().toStdString();
  render::MapScene scene =
      render::LoadMapScene(std::filesystem::path(document_.toStdString()), request);
  const QString note = scene.failure.isEmpty() ? scene.notes.join("  ") : scene.failure;
  statusBar()->showMessage(note);
  setWindowTitle(QString("Result Map - %1").arg(QFileInfo(document_).fileName()));
  canvas_->SetScene(std::move(scene));
}

QDateTime ResultMapWindow::NewestResult(const QString& documentPath, bool& errorAnalysis) {
  const QFileInfo dat = ResultFile(documentPath, ".dat");
  const QFileInfo lst = ResultFile(documentPath, ".lst");
  const QDateTime datTime = dat.exists() ? dat.lastModified() : QDateTime();
  const QDateTime lstTime = lst.exists() ? lst.lastModified() : QDateTime();
  errorAnalysis = lstTime.isValid() && (!datTime.isValid() || lstTime > datTime);
  return errorAnalysis ? lstTime : datTime;
}

void ResultMapWindow::ShowRunResults(const QString& documentPath, bool errorAnalysis) {
  if (errorAnalysis) {
    SetLayer(render::MapLayer::kResiduals);
  } else if (layer() == render::MapLayer::kResiduals) {
    SetLayer(render::MapLayer::kEstimate);
  }
  ShowProject(documentPath);
}

void ResultMapWindow::SetLayer(render::MapLayer layer) {
  for (int i = 0; i < static_cast<int>(std::size(kLayers)); ++i) {
    if (kLayers[i] == layer) layer_->setCurrentIndex(i);
  }
}

render::MapLayer ResultMapWindow::layer() const {
  return kLayers[std::clamp(layer_->currentIndex(), 0, static_cast<int>(std::size(kLayers)) - 1)];
}

void ResultMapWindow::SetLevels(const QString& levels) {
  levels_->setCurrentText(levels);
}

void ResultMapWindow::ExportPicture() {
  const QFileInfo document(document_);
  const QString suggestion =
      document_.isEmpty()
          ? QString("map.png")
          : document.absoluteDir().filePath(
                QString("%1-%2.png")
                    .arg(document.completeBaseName(), render::MapLayerName(layer())));
  ExportPictureInteractively(
      this, prompts_, suggestion, canvas_->size(),
      [this](QPainter& painter, const QRectF& target) { canvas_->PaintPicture(painter, target); });
}

void ResultMapWindow::CopyPicture() {
  CopyPictureToClipboard(canvas_->size(), [this](QPainter& painter, const QRectF& target) {
    canvas_->PaintPicture(painter, target);
  });
}

}  // namespace mornax::gui

namespace mornax::gui {

void ResultMapWindow::Print() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (prompts_.RunDialog(dialog) != QDialog::Accepted) return;
  PrintOn(printer);
}

void ResultMapWindow::PrintOn(QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    prompts_.Inform(this, "The printer cannot be opened: nothing was printed.");
    return;
  }
  canvas_->PaintPicture(painter, QRectF(0, 0, printer.width(), printer.height()));
  painter.end();
}

}  // namespace mornax::gui
