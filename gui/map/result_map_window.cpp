#include "gui/map/result_map_window.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolBar>

#include "gui/map/gis_export_dialog.h"
#include "gui/map/map_canvas.h"
#include "gui/map/map_style_panel.h"
#include "gui/map/picture_dialog.h"
#include "gui/map/residual_table.h"
#include "gui/render/map_page.h"
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
      panel_(new MapStylePanel(this)),
      residuals_(new ResidualTableView(this)),
      residualDock_(new QDockWidget("Residuals", this)) {
  setObjectName("resultMapWindow");
  setWindowTitle("Result Map");
  setCentralWidget(canvas_);
  for (const char* text : kLayerTexts) layer_->addItem(text);
  layer_->setObjectName("mapLayer");

  // The panel runs the window's full height and scrolls on a small screen;
  // the residual table sits under the map only.
  auto* styleDock = new QDockWidget("Map Style", this);
  styleDock->setObjectName("mapStyleDock");
  auto* scroll = new QScrollArea(styleDock);
  scroll->setWidget(panel_);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setMinimumWidth(panel_->sizeHint().width() + 20);
  styleDock->setWidget(scroll);
  addDockWidget(Qt::RightDockWidgetArea, styleDock);
  setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
  setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
  residualDock_->setObjectName("residualDock");
  residualDock_->setWidget(residuals_);
  addDockWidget(Qt::BottomDockWidgetArea, residualDock_);
  residualDock_->hide();

  QToolBar* bar = addToolBar("Map");
  bar->setObjectName("mapToolBar");
  bar->addWidget(new QLabel(" Layer: ", bar));
  bar->addWidget(layer_);
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
  QAction* exportGis = bar->addAction("Export to GIS...", this, [this] {
    if (!document_.isEmpty()) ExportToGis(this, prompts_, document_);
  });
  exportGis->setObjectName("actionMapExportGis");
  exportGis->setToolTip("The results as a GeoTIFF or ASCII grid, contour lines, or points");
  QAction* preview = bar->addAction("Print Preview...", this, &ResultMapWindow::PrintPreview);
  preview->setObjectName("actionMapPrintPreview");
  QAction* print = bar->addAction("Print...", this, &ResultMapWindow::Print);
  print->setObjectName("actionMapPrint");
  print->setShortcut(QKeySequence::Print);
  QAction* copy = bar->addAction("Copy", this, &ResultMapWindow::CopyPicture);
  copy->setObjectName("actionMapCopy");
  copy->setShortcut(QKeySequence::Copy);
  bar->addSeparator();
  bar->addAction(styleDock->toggleViewAction());

  connect(layer_, &QComboBox::activated, this, &ResultMapWindow::Reload);
  connect(panel_, &MapStylePanel::styleChanged, this, &ResultMapWindow::Reload);
  connect(canvas_, &MapCanvas::readOutChanged, this, [this](const QString& text) {
    if (text.isEmpty()) {
      statusBar()->clearMessage();
    } else {
      statusBar()->showMessage(text);
    }
  });
  resize(1100, 720);
}

void ResultMapWindow::Restore() {
  // show() and raise() leave a minimised window iconic.
  if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

void ResultMapWindow::ShowProject(const QString& documentPath) {
  document_ = documentPath;
  Reload();
  Restore();
}

void ResultMapWindow::FollowProject(const QString& documentPath) {
  document_ = documentPath;
  Reload();
  if (layer() != render::MapLayer::kEstimate && !LayerAvailable(layer())) {
    SetLayer(render::MapLayer::kEstimate);
    Reload();
  }
}

void ResultMapWindow::Reload() {
  if (document_.isEmpty()) {
    canvas_->SetScene(render::FailedScene(
        "", "No project: open or save a document, run an interpolation, then show its map."));
    return;
  }
  render::MapRequest request;
  request.layer = layer();
  request.style = panel_->style();
  render::MapScene scene =
      render::LoadMapScene(std::filesystem::path(document_.toStdString()), request);
  const QString note = scene.failure.isEmpty() ? scene.notes.join("  ") : scene.failure;
  statusBar()->showMessage(note);
  setWindowTitle(QString("Result Map - %1").arg(QFileInfo(document_).fileName()));
  ShowAvailableLayers(scene);
  if (scene.residuals) {
    residuals_->Show(*scene.residuals);
    if (!residualDock_->isVisible()) {
      residualDock_->show();
      // Room for a dozen rows under the map.
      resizeDocks({residualDock_}, {height() / 3}, Qt::Vertical);
    }
  } else {
    residuals_->Clear();
    residualDock_->hide();
  }
  canvas_->SetScene(std::move(scene));
}

void ResultMapWindow::ShowAvailableLayers(const render::MapScene& scene) {
  auto* model = qobject_cast<QStandardItemModel*>(layer_->model());
  if (model == nullptr) return;
  auto enable = [model](int row, bool on) {
    if (QStandardItem* item = model->item(row)) item->setEnabled(on);
  };
  // A residual scene says nothing of the network's layers: those stay.
  if (layer() != render::MapLayer::kResiduals) {
    enable(1, scene.hasStandardError);
    enable(2, scene.hasGuess);
  }
  enable(3, ResultFile(document_, ".lst").exists());
}

bool ResultMapWindow::LayerAvailable(render::MapLayer layer) const {
  const auto* model = qobject_cast<const QStandardItemModel*>(layer_->model());
  for (int i = 0; i < static_cast<int>(std::size(kLayers)); ++i) {
    if (kLayers[i] == layer && model != nullptr && model->item(i) != nullptr) {
      return model->item(i)->isEnabled();
    }
  }
  return true;
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

void ResultMapWindow::PrintPreview() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintPreviewDialog dialog(&printer, this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* shown) { PrintOn(*shown); });
  prompts_.RunDialog(dialog);
}

void ResultMapWindow::PrintOn(QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    prompts_.Inform(this, "The printer cannot be opened: nothing was printed.");
    return;
  }
  render::TitleBlock block;
  block.project = QFileInfo(document_).fileName();
  block.layer = canvas_->scene().layerTitle;
  block.date = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm");
  render::PaintMapPage(painter, canvas_->scene(), QRectF(0, 0, printer.width(), printer.height()),
                       block);
  painter.end();
}

}  // namespace mornax::gui
