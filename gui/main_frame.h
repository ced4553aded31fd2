// The main window: menus, toolbar, status bar, the view, the most recently
// used documents, dropped files, printing and help.
#pragma once

#include <memory>

#include <QMainWindow>
#include <QStringList>

class QAction;
class QMenu;
class QPrinter;

namespace mornax::gui {

class CMornaxDoc;
class CMornaxView;
class DirectionsWindow;
class GisCommands;
class HelpWindow;
class MapHooks;
class ModelShapingWindow;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kRecentFileCount = 4;

  explicit CMainFrame(CMornaxDoc& document, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CMornaxView& view() const { return *view_; }
  MapHooks& mapHooks() const { return *mapHooks_; }
  GisCommands& gisCommands() const { return *gisCommands_; }
  CMornaxDoc& document() const { return document_; }

  // Opens a document (command line, recent-file list, dropped file, File >
  // Open) after asking to save a modified one; the file joins the recent list.
  bool OpenDocumentFile(const QString& path);

  // The File and Help commands.
  void OnFileNew();
  void OnFileOpen();
  bool OnFileSave();
  bool OnFileSaveAs();  // "Create New"
  void OnFilePrint();
  void OnFilePrintPreview();
  void OnFilePrintSetup();
  void OnHelpTopics();
  void OnAppAbout();

  // Prints the document's plot on the default printer (the shell's print
  // verb) or on the named printer. Without such a printer, or when printing
  // fails, the user is told and the result is false.
  bool PrintDirect(const QString& printerName = QString());
  // File > New from Data File...
  void OnFileNewFromData();
  // Semi_variogram > Shape Model...: the interactive model beside the
  // semivariogram, made once and shown again.
  ModelShapingWindow& OnShapeModel();
  // Semi_variogram > Directions and Variogram Map...: made once, shown again.
  DirectionsWindow& OnDirections();

  QStringList recentFiles() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  QAction* MakeAction(const QString& text, const QString& name, const QString& statusTip);
  // Asks to save a modified document; false when the user cancelled.
  bool SaveModified();
  void UpdateTitle();
  void AddRecentFile(const QString& path);
  void RebuildRecentMenu();
  QPrinter& Printer();

  CMornaxDoc& document_;
  CMornaxView* view_;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  QAction* recentPlaceholder_ = nullptr;
  QList<QAction*> recentActions_;
  std::unique_ptr<QPrinter> printer_;
  HelpWindow* helpWindow_ = nullptr;
  MapHooks* mapHooks_ = nullptr;  // the result map, picture export and copy
  ModelShapingWindow* shapingWindow_ = nullptr;
  DirectionsWindow* directionsWindow_ = nullptr;
  GisCommands* gisCommands_ = nullptr;  // import, grid, coordinate system
};

}  // namespace mornax::gui
