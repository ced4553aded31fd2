#include "gui/mornax_doc.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <string>

#include "gui/data_point_count.h"
#include "gui/dialogs/bayes_dialog.h"
#include "gui/dialogs/distance_weighting_dialog.h"
#include "gui/dialogs/fit_dialog.h"
#include "gui/dialogs/kriging_dialog.h"
#include "gui/dialogs/method_dialog.h"
#include "gui/dialogs/semivariogram_dialog.h"
#include "gui/file_viewer.h"
#include "gui/plot_reader.h"
#include "gui/program_records.h"
#include "gui/run_outcome.h"
#include "gui/user_prompts.h"
#include "project/automatic_fit_start.h"
#include "project/fit_initializer.h"

namespace mornax::gui {
namespace {

constexpr char kNoFileName[] = "New Document, Filename empty!";
constexpr int kFileEntries = 8;  // "Another FIles" and the seven project files

// The settings key of a project's remembered run mode.
QString RunModeKey(const QString& documentPath) {
  return "Run Mode/" +
         QString::fromLatin1(documentPath.toUtf8().toBase64(QByteArray::Base64UrlEncoding));
}

QString Name(project::FileIndex index) {
  return QString::fromStdString(ProgramFiles()[index]);
}

// The joint fit report of the directions, BASE.jfr.
QString JointFitName() {
  return QFileInfo(Name(project::kSol)).completeBaseName() + ".jfr";
}

// The data file's point count for the neighbour check; 0 when unknown.
int DataPoints() {
  return DataPointCount(ProgramFiles()[project::kDfl]).value_or(0);
}

}  // namespace

CMornaxDoc::CMornaxDoc(UserPrompts& prompts, EngineEntry engine, EngineRunner::Thread thread,
                       QObject* parent, TermsEntry termsEngine)
    : QObject(parent),
      prompts_(prompts),
      engine_(engine),
      termsEngine_(termsEngine),
      fileViewer_(std::make_unique<CViewFilesDlg>(prompts)),
      runner_(thread) {
  fileViewer_->hide();
}

CMornaxDoc::~CMornaxDoc() {
  fileViewer_->hide();
  fileViewer_.reset();
}

void CMornaxDoc::SetDisplayMode(int mode) {
  displayMode_ = mode;
  ++plotGeneration_;
  emit viewsChanged();
}

QString CMornaxDoc::title() const {
  return filePath_.isEmpty() ? QString("Mornax") : QFileInfo(filePath_).fileName();
}

void CMornaxDoc::SetModified(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit titleChanged();
}

void CMornaxDoc::EnterDocumentFolder(const QString& path) {
  QDir::setCurrent(QFileInfo(path).absolutePath());
}

void CMornaxDoc::OnNewDocument() {
  project::SetDefaults(ProgramRecords());
  ProgramFiles() = project::FileSet{};
  filePath_.clear();
  runMode_ = kErrorAnalysisMode;
  modified_ = false;
  emit titleChanged();
  SetDisplayMode(kPlotNone);
}

bool CMornaxDoc::ApplyDocumentName(const QString& path) {
  FILENAME fileName{};
  project::FileSet files;
  std::string error;
  if (!project::SetFileNames(QFileInfo(path).fileName().toStdString(), fileName, files, error)) {
    prompts_.Inform(dialogParent_, QString::fromStdString(error));
    return false;
  }
  ProgramRecords().fileName = fileName;
  ProgramFiles() = files;
  filePath_ = QFileInfo(path).absoluteFilePath();
  LoadRunMode();
  modified_ = false;
  EnterDocumentFolder(filePath_);
  emit titleChanged();
  SetDisplayMode(kPlotDataMap);
  return true;
}

void CMornaxDoc::RememberRunMode(int mode) {
  runMode_ = mode;
  if (!filePath_.isEmpty()) QSettings().setValue(RunModeKey(filePath_), mode);
}

void CMornaxDoc::LoadRunMode() {
  // Saving under a new name carries the current choice along.
  const int mode = QSettings().value(RunModeKey(filePath_), runMode_).toInt();
  runMode_ = mode == kInterpolationMode ? kInterpolationMode : kErrorAnalysisMode;
}

bool CMornaxDoc::OnOpenDocument(const QString& path) {
  if (running_) return false;
  const QString name = QFileInfo(path).fileName();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    prompts_.Inform(dialogParent_, QString("Cannot read document file %1!").arg(name));
    return false;
  }
  // The 39 values, and the model terms' tail when the document has one.
  if (file.size() != static_cast<qint64>(project::kDocumentFileSize) &&
      file.size() != static_cast<qint64>(project::kDocumentFileSize + project::kTermsTailSize)) {
    prompts_.Inform(dialogParent_,
                    QString("%1 is not a Mornax document: it has %2 bytes instead of %3!")
                        .arg(name)
                        .arg(file.size())
                        .arg(project::kDocumentFileSize));
    return false;
  }
  const QByteArray bytes = file.readAll();
  project::Records decoded = ProgramRecords();
  std::string error;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
  if (!project::DecodeDocument({data, static_cast<std::size_t>(bytes.size())}, decoded, error)) {
    prompts_.Inform(dialogParent_, QString::fromStdString(error));
    return false;
  }
  const project::Records previous = ProgramRecords();
  ProgramRecords() = decoded;
  if (!ApplyDocumentName(path)) {
    ProgramRecords() = previous;
    return false;
  }
  return true;
}

bool CMornaxDoc::OnSaveDocument(const QString& path) {
  if (running_) return false;
  // Check the name before anything is written.
  FILENAME fileName{};
  project::FileSet files;
  std::string error;
  if (!project::SetFileNames(QFileInfo(path).fileName().toStdString(), fileName, files, error)) {
    prompts_.Inform(dialogParent_, QString::fromStdString(error));
    return false;
  }
  if (!project::WriteDocumentFile(path.toStdString(), ProgramRecords(), error)) {
    prompts_.Inform(dialogParent_,
                    QString("Cannot write document file %1!").arg(QFileInfo(path).fileName()));
    return false;
  }
  return ApplyDocumentName(path);
}

bool CMornaxDoc::RunEngine(int task, int method, int mode) {
  auto& records = ProgramRecords();
  if (records.fileName.nameLength == 0) {
    prompts_.Inform(dialogParent_, kNoFileName);
    return false;
  }
  if (running_) return false;
  running_ = true;
  // The watch sees the result file before the run touches it.
  auto watch = std::make_shared<RunWatch>(task, method, mode, ProgramFiles());
  emit runStarted();
  // One connection per run, gone when it has fired.
  auto connection = std::make_shared<QMetaObject::Connection>();
  *connection = connect(&runner_, &EngineRunner::finished, this, [this, task, watch, connection] {
    disconnect(*connection);
    running_ = false;
    const RunOutcome outcome = watch->Finish();
    // A result file written anew is plotted even when the run also reported
    // a problem: the plot never shows what the files no longer hold.
    if (outcome.written && task == MNX_TASK_SEMIVARIOGRAM) SetDisplayMode(kPlotSemivariogram);
    if (outcome.written && task == MNX_TASK_FIT) SetDisplayMode(kPlotFittedModel);
    emit runFinished(outcome.succeeded, outcome.note);
  });
  // The worker reads the records for the whole run; every command that
  // would change them is refused while running_ is set.
  // The library's entry point takes the records alone: a model with an
  // anisotropy or further structures runs through the entry that takes its
  // terms too; every other run goes through the library as it always has.
  const bool withTerms = task == MNX_TASK_INTERPOLATION &&
                         (method == MNX_METHOD_KRIGING || method == MNX_METHOD_BAYES) &&
                         !records.terms.IsDefault();
  if (withTerms) {
    runner_.Start([engine = termsEngine_, task, method, mode, &records] {
      engine(task, method, mode, &records.fileName, &records.svar, &records.fvar, &records.ipl,
             &records.terms);
    });
    return true;
  }
  runner_.Start([engine = engine_, task, method, mode, &records] {
    engine(task, method, mode, &records.fileName, &records.svar, &records.fvar, &records.ipl);
  });
  return true;
}

void CMornaxDoc::WaitForRun() {
  runner_.WaitForFinished();
}

void CMornaxDoc::OnComputation() {
  if (running_) return;
  SVAR& svar = ProgramRecords().svar;
  CSemiVariogramDlg::Values values;
  values.dataFile = Name(project::kDfl);
  values.varFile = Name(project::kVar);
  values.fitFile = Name(project::kFit);
  values.lagDistance = svar.lagDistance;
  values.lagCount = svar.lagCount;
  values.direction = svar.direction;
  values.tolerance = svar.tolerance;
  values.logTransform = svar.logTransform;
  CSemiVariogramDlg dialog(values, prompts_, dialogParent_);
  if (prompts_.RunDialog(dialog) != QDialog::Accepted) return;

  values = dialog.values();
  svar.logTransform = values.logTransform;
  svar.subtract = values.subtract;
  svar.lagDistance = values.lagDistance;
  svar.lagCount = values.lagCount;
  svar.direction = values.direction;
  svar.tolerance = values.tolerance;
  SetModified(true);
  RunEngine(MNX_TASK_SEMIVARIOGRAM, MNX_METHOD_NONE, MNX_MODE_NONE);
}

void CMornaxDoc::FitInitialize(CFitDlg& dialog, int modelIndex) {
  auto& records = ProgramRecords();
  records.fvar.model = modelIndex + 1;
  project::FitClasses classes;
  const project::FitInitStatus status = project::InitializeFitGuesses(
      ProgramFiles()[project::kFit], records.svar, records.fvar, classes);
  if (status != project::FitInitStatus::kOk) {
    prompts_.Inform(&dialog, project::FitInitMessage(status));
  }
  dialog.ShowGuesses(records.svar.lagCount, records.fvar.initial, records.fvar.minimum,
                     records.fvar.maximum);
  SetModified(true);
}

void CMornaxDoc::OnFitting() {
  if (running_) return;
  auto& records = ProgramRecords();
  CFitDlg::Values values;
  values.fitFile = Name(project::kFit);
  values.solFile = Name(project::kSol);
  values.modelIndex = records.fvar.model - 1;
  values.lagCount = records.svar.lagCount;
  values.bestFit = 1;
  std::copy_n(records.fvar.initial, 3, values.initial);
  std::copy_n(records.fvar.minimum, 3, values.minimum);
  std::copy_n(records.fvar.maximum, 3, values.maximum);
  CFitDlg dialog(values, prompts_, dialogParent_);
  connect(&dialog, &CFitDlg::initializeRequested, this,
          [this, &dialog](int modelIndex) { FitInitialize(dialog, modelIndex); });
  if (prompts_.RunDialog(dialog) != QDialog::Accepted) return;

  values = dialog.values();
  records.fvar.bestFit = values.bestFit;
  records.svar.lagCount = values.lagCount;
  records.fvar.model = values.modelIndex + 1;
  std::copy_n(values.initial, 3, records.fvar.initial);
  std::copy_n(values.minimum, 3, records.fvar.minimum);
  std::copy_n(values.maximum, 3, records.fvar.maximum);
  // Nine zeros, as in a new document: the fit starts from values read off
  // the semivariogram, which the records keep (as "Initialize" does).
  FitStart start;
  std::string problem;
  project::StartFitFromSemivariogram(ProgramFiles()[project::kFit], ProgramFiles()[project::kVar],
                                     false, records, start, problem);
  SetModified(true);
  RunEngine(MNX_TASK_FIT, MNX_METHOD_NONE, MNX_MODE_NONE);
}

void CMornaxDoc::OnDistanceWeighting() {
  if (running_) return;
  IPL& ipl = ProgramRecords().ipl;
  CDistanceWeightingDlg::Values values;
  values.dataFile = Name(project::kDfl);
  values.lstFile = Name(project::kLst);
  values.datFile = Name(project::kDat);
  values.levFile = Name(project::kLev);
  values.schemeIndex = ipl.dwScheme - 1;
  values.points = ipl.dwPoints;
  values.trendDegree = ipl.trendDegree;
  values.dataPoints = DataPoints();
  values.runMode = runMode_;
  CDistanceWeightingDlg dialog(values, prompts_, dialogParent_);
  if (prompts_.RunDialog(dialog) != QDialog::Accepted) return;

  values = dialog.values();
  ipl.dwScheme = values.schemeIndex + 1;
  ipl.dwPoints = values.points;
  ipl.trendDegree = values.trendDegree;
  RememberRunMode(values.runMode);
  SetModified(true);
  RunEngine(MNX_TASK_INTERPOLATION, MNX_METHOD_WEIGHTING, values.runMode);
}

void CMornaxDoc::OnKriging() {
  if (running_) return;
  auto& records = ProgramRecords();
  IPL& ipl = records.ipl;
  CKrigingDlg::Values values;
  values.dataFile = Name(project::kDfl);
  values.lstFile = Name(project::kLst);
  values.datFile = Name(project::kDat);
  values.levFile = Name(project::kLev);
  values.modelIndex = ipl.krigModel - 1;
  values.points = ipl.krigPoints;
  values.dataPoints = DataPoints();
  values.order = ipl.krigOrder;
  values.sill = ipl.sill;
  values.a = ipl.a;
  values.c = ipl.c;
  values.c0 = ipl.c0;
  values.logTransform = records.svar.logTransform;
  values.runMode = runMode_;
  values.solFile = Name(project::kSol);
  values.terms = records.terms;
  values.jfrFile = JointFitName();
  CKrigingDlg dialog(values, prompts_, dialogParent_);
  if (prompts_.RunDialog(dialog) != QDialog::Accepted) return;

  values = dialog.values();
  records.svar.logTransform = values.logTransform;
  ipl.krigPoints = values.points;
  ipl.krigModel = values.modelIndex + 1;
  ipl.krigOrder = values.order;
  ipl.sill = values.sill;
  ipl.a = values.a;
  ipl.c = values.c;
  ipl.c0 = values.c0;
  records.terms = values.terms;
  RememberRunMode(values.runMode);
  SetModified(true);
  RunEngine(MNX_TASK_INTERPOLATION, MNX_METHOD_KRIGING, values.runMode);
}

void CMornaxDoc::OnBayesEstimation() {
  if (running_) return;
  auto& records = ProgramRecords();
  IPL& ipl = records.ipl;
  CBayesDlg::Values values;
  values.dataFile = Name(project::kDfl);
  values.lstFile = Name(project::kLst);
  values.datFile = Name(project::kDat);
  values.levFile = Name(project::kLev);
  values.modelIndex = ipl.bayesModel - 1;
  values.scaleIndex = ipl.scaleGuess;
  values.points = ipl.bayesPoints;
  values.dataPoints = DataPoints();
  values.sigma = ipl.sigma;
  values.k = ipl.k;
  values.rho = ipl.rho;
  values.lagD = ipl.lagD;
  values.sill = ipl.sill;
  values.a = ipl.a;
  values.c = ipl.c;
  values.c0 = ipl.c0;
  values.guessSill = ipl.guessSill;
  values.guessA = ipl.guessA;
  values.guessC = ipl.guessC;
  values.guessC0 = ipl.guessC0;
  values.logTransform = records.svar.logTransform;
  values.runMode = runMode_;
  values.solFile = Name(project::kSol);
  values.terms = records.terms;
  values.jfrFile = JointFitName();
  CBayesDlg dialog(values, prompts_, dialogParent_);
  if (prompts_.RunDialog(dialog) != QDialog::Accepted) return;

  values = dialog.values();
  records.svar.logTransform = values.logTransform;
  ipl.scaleGuess = values.scaleIndex;
  ipl.bayesModel = values.modelIndex + 1;
  ipl.bayesPoints = values.points;
  ipl.sigma = values.sigma;
  ipl.k = values.k;
  ipl.rho = values.rho;
  ipl.lagD = values.lagD;
  ipl.sill = values.sill;
  ipl.a = values.a;
  ipl.c = values.c;
  ipl.c0 = values.c0;
  ipl.guessSill = values.guessSill;
  ipl.guessA = values.guessA;
  ipl.guessC = values.guessC;
  ipl.guessC0 = values.guessC0;
  records.terms = values.terms;
  RememberRunMode(values.runMode);
  SetModified(true);
  RunEngine(MNX_TASK_INTERPOLATION, MNX_METHOD_BAYES, values.runMode);
}

void CMornaxDoc::OnShowFile(int index) {
  if (index < 0 || index >= kFileEntries) return;
  fileViewer_->show();
  fileViewer_->raise();
  if (ProgramRecords().fileName.nameLength == 0) {
    prompts_.Inform(fileViewer_.get(), kNoFileName);
    return;
  }
  fileViewer_->LoadFile(index == 0 ? QString() : Name(static_cast<project::FileIndex>(index - 1)));
}

}  // namespace mornax::gui
