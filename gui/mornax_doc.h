// The document: one project's parameters (kept in the program's records), its
// name, the display mode of the plot and the file viewer. It carries out the
// five computation commands and the show-file command.
#pragma once

#include <memory>

#include <QObject>
#include <QString>

#include "gui/engine_runner.h"
#include "gui/terms_run.h"
#include "mornax.h"

class QWidget;

namespace mornax::gui {

class CFitDlg;
class CViewFilesDlg;
class UserPrompts;

class CMornaxDoc : public QObject {
  Q_OBJECT

 public:
  using EngineEntry = void (*)(int task, int method, int mode, FILENAME*, SVAR*, FVAR*, IPL*);
  // An entry that also takes the document's model terms.
  using TermsEntry = void (*)(int task, int method, int mode, FILENAME*, SVAR*, FVAR*, IPL*,
                              const project::ModelTermsRecord*);

  // `engine` is the library's entry; the tests pass a recorder. `thread` says
  // where it runs: on a worker thread (the program) or inside the command.
  // `termsEngine` runs kriging and Bayes when the document's model has an
  // anisotropy or further structures, which the library's entry cannot carry.
  explicit CMornaxDoc(UserPrompts& prompts, EngineEntry engine = &mornaxDLL,
                      EngineRunner::Thread thread = EngineRunner::Thread::kWorker,
                      QObject* parent = nullptr, TermsEntry termsEngine = &RunWithTerms);
  ~CMornaxDoc() override;

  UserPrompts& prompts() const { return prompts_; }
  // Owner window of the dialogs and message boxes.
  void SetDialogParent(QWidget* parent) { dialogParent_ = parent; }

  // 0 nothing, 1 semivariogram points, 2 fitted model, 3 data map.
  int displayMode() const { return displayMode_; }
  void SetDisplayMode(int mode);
  // Changes with every display-mode setting and every change of the project
  // files; the view reports a plot condition once per value.
  unsigned plotGeneration() const { return plotGeneration_; }

  // Full path of the document file; empty for a new document.
  const QString& filePath() const { return filePath_; }
  // The name shown in the title bar: the file name, or "Mornax".
  QString title() const;
  bool isModified() const { return modified_; }
  void SetModified(bool modified);
  // True while the library is computing.
  bool isRunning() const { return running_; }

  // A new project: the record defaults, no file, nothing to plot.
  void OnNewDocument();
  // Reads the 39 values of a document file. A file that cannot be read, a
  // file of the wrong size and a name the records cannot hold are refused
  // with a message, and nothing changes. On success the document's folder
  // becomes the current directory and the plot shows the data map.
  bool OnOpenDocument(const QString& path);
  // Writes the 39 values under `path`; refusals as for opening.
  bool OnSaveDocument(const QString& path);

  // The computation commands.
  void OnComputation();
  void OnFitting();
  void OnDistanceWeighting();
  void OnKriging();
  void OnBayesEstimation();
  // Shows the file viewer with project file `index` (0 another file, 1 .dfl,
  // 2 .var, 3 .fit, 4 .sol, 5 .lst, 6 .dat, 7 .lev).
  void OnShowFile(int index);

  // Starts the library unless the document has no file name yet (message) or
  // a run is active; true when it started. When the run has ended, a
  // semivariogram or fit that wrote its result file switches the plot to it
  // (even when it also reported a problem); a run that wrote nothing leaves
  // the plot as it was. runFinished tells.
  bool RunEngine(int task, int method, int mode);
  // Turns the event loop until the running computation has ended.
  void WaitForRun();

  CViewFilesDlg& fileViewer() const { return *fileViewer_; }

  // The run mode the interpolation dialogs open with: the project's last
  // choice, kept in the settings under the document's path.
  int runMode() const { return runMode_; }

 signals:
  // The plot must be drawn again (display mode or project changed).
  void viewsChanged();
  // The name or the modified state changed.
  void titleChanged();
  // A computation started; it ended, with a note for the status bar.
  void runStarted();
  void runFinished(bool succeeded, const QString& note);

 private:
  bool ApplyDocumentName(const QString& path);
  void RememberRunMode(int mode);
  void LoadRunMode();
  void FitInitialize(CFitDlg& dialog, int modelIndex);
  // Set to the project's folder: the library and the plot open the project
  // files relative to it.
  static void EnterDocumentFolder(const QString& path);

  UserPrompts& prompts_;
  EngineEntry engine_;
  TermsEntry termsEngine_;
  QWidget* dialogParent_ = nullptr;
  int displayMode_ = 0;
  unsigned plotGeneration_ = 0;
  QString filePath_;
  bool modified_ = false;
  bool running_ = false;
  int runMode_ = 1;
  std::unique_ptr<CViewFilesDlg> fileViewer_;
  EngineRunner runner_;
};

}  // namespace mornax::gui
