// GIS inside the program: the import, grid and coordinate-system dialogs and
// the map's export, driven as a user drives them, with the library and the
// GIS room doing the work; a project held by another command is refused.
// With MORNAX_SCREENSHOT_DIR set the dialogs and the model are saved there.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include <gdal_utils.h>

#include "geo/data_file.h"
#include "geo/gdal_session.h"
#include "geo/project_crs.h"
#include "gui/dialogs/crs_dialog.h"
#include "gui/dialogs/grid_dialog.h"
#include "gui/dialogs/import_dialog.h"
#include "gui/dialogs/kriging_dialog.h"
#include "gui/dialogs/semivariogram_dialog.h"
#include "gui/gis_commands.h"
#include "gui/gis_task.h"
#include "gui/gui_test_support.h"
#include "gui/main_frame.h"
#include "gui/map/gis_export_dialog.h"
#include "gui/map/map_hooks.h"
#include "gui/map/result_map_window.h"
#include "gui/model_shaping_window.h"
#include "gui/mornax_doc.h"
#include "project/project_lock.h"
#include "support/temp_dir.h"

namespace mornax::gui {
namespace {

using testing::AcceptWith;

void Screenshot(QWidget& widget, const char* name) {
  const QString dir = qEnvironmentVariable("MORNAX_SCREENSHOT_DIR");
  if (dir.isEmpty()) return;
  widget.show();
  QCoreApplication::processEvents();
  widget.grab().save(dir + "/" + name);
}

// The example wells as a GeoPackage in UTM zone 33N.
void WriteWellsGeoPackage(const std::string& path) {
  geo::EnsureGdal();
  const std::string csv = std::string(MORNAX_SOURCE_DIR) + "/examples/wells/wells.csv";
  const char* openOptions[] = {"X_POSSIBLE_NAMES=x", "Y_POSSIBLE_NAMES=y", "AUTODETECT_TYPE=YES",
                               nullptr};
  GDALDatasetH source = GDALOpenEx(csv.c_str(), GDAL_OF_VECTOR, nullptr, openOptions, nullptr);
  ASSERT_NE(source, nullptr);
  const char* arguments[] = {"-f", "GPKG", "-a_srs", "EPSG:32633", "-nln", "wells", nullptr};
  GDALVectorTranslateOptions* options =
      GDALVectorTranslateOptionsNew(const_cast<char**>(arguments), nullptr);
  int failed = 0;
  GDALDatasetH written = GDALVectorTranslate(path.c_str(), nullptr, 1, &source, options, &failed);
  GDALVectorTranslateOptionsFree(options);
  GDALClose(source);
  ASSERT_NE(written, nullptr);
  GDALClose(written);
}

class GisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(folder.path().string()));
    document.OnNewDocument();
    ASSERT_TRUE(document.OnSaveDocument(QString::fromStdString(folder.In("W.mnx"))));
    frame.resize(900, 650);
  }
  void Trigger(const char* name) {
    frame.findChild<QAction*>(name)->trigger();
    document.WaitForRun();
  }

  QApplication& app = testing::GuiApp();
  testing::ScopedTempDir folder;
  testing::ScriptedPrompts prompts;
  CMornaxDoc document{prompts};  // the computation library itself
  CMainFrame frame{document};
};

TEST_F(GisTest, FromACsvToAGeoTiffInsideTheProgram) {
  // The coordinate system, found by its code in the EPSG database.
  prompts.onDialog = AcceptWith<CrsDialog>([](CrsDialog& d) {
    d.Search("32633");
    auto* results = d.findChild<QListWidget*>("crsResults");
    ASSERT_GE(results->count(), 1);
    results->setCurrentRow(0);
    EXPECT_EQ(d.Definition(), "EPSG:32633");
  });
  Trigger("actionCoordinateSystem");
  EXPECT_NE(frame.findChild<QLabel*>("crsStatus")->text().indexOf("EPSG:32633"), -1);

  // The wells, their fields picked from the source's own list.
  const std::string csv = std::string(MORNAX_SOURCE_DIR) + "/examples/wells/wells.csv";
  prompts.onDialog = AcceptWith<ImportDialog>([&](ImportDialog& d) {
    d.SetSource(QString::fromStdString(csv));
    EXPECT_EQ(d.findChild<QComboBox*>("importX")->currentText(), "x");
    EXPECT_EQ(d.findChild<QComboBox*>("importY")->currentText(), "y");
    EXPECT_EQ(d.findChild<QComboBox*>("importZ")->currentText(), "level");
  });
  prompts.messages.clear();
  Trigger("actionImportPoints");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("took 400, dropped 0"), std::string::npos)
      << prompts.messages[0];
  geo::DataSection section;
  std::string error;
  ASSERT_TRUE(geo::ScanDataSection(folder.In("W.dfl"), section, error)) << error;
  EXPECT_EQ(section.count, 400);

  // A grid of 250 m over the data, its node count shown before OK.
  prompts.onDialog = AcceptWith<GridDialog>([](GridDialog& d) {
    d.findChild<QLineEdit*>("gridSpacing")->setText("250");
    EXPECT_NE(d.Preview().indexOf("nodes, spacing 250 x 250"), -1) << d.Preview().toStdString();
    Screenshot(d, "grid-dialog.png");
  });
  prompts.messages.clear();
  Trigger("actionGrid");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("replaced"), std::string::npos) << prompts.messages[0];

  // The semivariogram, the model shaped and fitted from the shape.
  prompts.onDialog = AcceptWith<CSemiVariogramDlg>([](CSemiVariogramDlg& d) {
    testing::SetField(d, "lagDistance", "150");
    testing::SetField(d, "lagCount", "20");
  });
  Trigger("actionComputation");
  ModelShapingWindow& shaping = frame.OnShapeModel();
  shaping.SetModel(2);
  shaping.SetShape({10.0, 1500.0, 1.0});
  ASSERT_TRUE(shaping.FitFromHere());
  document.WaitForRun();
  QCoreApplication::processEvents();
  EXPECT_NE(shaping.status().indexOf("Fitted"), -1) << shaping.status().toStdString();
  EXPECT_NEAR(shaping.shape()[1], 1480.0, 300.0);  // the range the field was drawn with
  shaping.resize(1000, 520);
  Screenshot(shaping, "interactive-model.png");
  shaping.findChild<QPushButton*>("useThisModel")->click();
  shaping.close();

  // Kriging onto the grid; the map's export writes the GeoTIFF.
  prompts.onDialog = AcceptWith<CKrigingDlg>(
      [](CKrigingDlg& d) { testing::Radio(d, "runMode_1")->setChecked(true); });
  Trigger("actionKriging");
  prompts.onDialog = AcceptWith<GisExportDialog>([](GisExportDialog& d) {
    d.findChild<QLineEdit*>("exportOutput")->setText("W.tif");
    d.findChild<QComboBox*>("exportLayer")->setCurrentIndex(3);  // estimate and standard error
  });
  prompts.messages.clear();
  EXPECT_TRUE(ExportToGis(&frame, prompts, QString::fromStdString(folder.In("W.mnx"))));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("EPSG:32633"), std::string::npos) << prompts.messages[0];
  EXPECT_TRUE(folder.Exists("W.tif"));
}

TEST_F(GisTest, TheImportDialogOffersTheFieldsOfAGeoPackage) {
  WriteWellsGeoPackage(folder.In("wells.gpkg"));
  ImportDialog dialog;
  dialog.SetSource(QString::fromStdString(folder.In("wells.gpkg")));
  EXPECT_EQ(dialog.fields().layers, std::vector<std::string>{"wells"});
  EXPECT_TRUE(dialog.fields().pointGeometry);
  EXPECT_EQ(dialog.findChild<QComboBox*>("importX")->currentIndex(), 0);  // the geometry
  EXPECT_EQ(dialog.findChild<QComboBox*>("importZ")->currentText(), "level");
  EXPECT_NE(dialog.findChild<QLabel*>("importAbout")->text().indexOf("EPSG:32633"), -1);
  dialog.resize(560, 360);
  Screenshot(dialog, "import-dialog-geopackage.png");

  // A damaged source is named, and OK refuses.
  folder.Write("broken.gpkg", "not a database");
  dialog.SetSource(QString::fromStdString(folder.In("broken.gpkg")));
  EXPECT_NE(dialog.findChild<QLabel*>("importAbout")->text().indexOf("broken.gpkg"), -1);
  geo::ImportRequest request;
  std::optional<std::string> title;
  std::string error;
  EXPECT_FALSE(dialog.Request(request, title, error));
}

// Refused imports leave the project as it was and say why in the batch
// tool's words: degrees in a projected project, a damaged source.
TEST_F(GisTest, RefusedImportsChangeNothingAndSayWhy) {
  std::string error;
  ASSERT_TRUE(geo::StoreProjectCrs(folder.In("W.mnx"), "EPSG:32633", error)) << error;
  folder.Write("W.dfl", "Before\n1\n1 2 3\n0\n");
  folder.Write("degrees.csv", "lon,lat,level\n15.1,50.2,3\n15.2,50.3,4\n");
  folder.Write("cut.geojson", R"({"type": "FeatureCollection", "features": [ {"type": "Fea)");
  const struct {
    const char* source;
    const char* message;
  } cases[] = {{"degrees.csv", "longitude and latitude"}, {"cut.geojson", "cut.geojson"}};
  for (const auto& c : cases) {
    // A source GDAL cannot open is named in the dialog, which stays open; a
    // refused read is named once the import ran.
    std::string shown;
    prompts.onDialog = AcceptWith<ImportDialog>([&](ImportDialog& d) {
      d.SetSource(QString::fromStdString(folder.In(c.source)));
      shown = d.findChild<QLabel*>("importAbout")->text().toStdString();
    });
    prompts.messages.clear();
    frame.findChild<QAction*>("actionImportPoints")->trigger();
    if (!prompts.messages.empty()) shown = prompts.messages.back();
    EXPECT_NE(shown.find(c.message), std::string::npos) << c.source << ": " << shown;
    EXPECT_EQ(folder.Read("W.dfl"), "Before\n1\n1 2 3\n0\n") << c.source;
  }
}

TEST_F(GisTest, ExportsTheFormatCannotHoldAreRefusedInTheDialog) {
  const struct {
    const char* output;
    bool residuals;
    const char* error;  // "" accepted
  } cases[] = {{"W.tif", false, ""},
               {"W.xyz", false, "extension"},
               {"W.tif", true, "writes points"},
               {"W.gpkg", true, ""}};
  for (const auto& c : cases) {
    GisExportDialog dialog(QString::fromStdString(folder.In("W.mnx")));
    dialog.findChild<QLineEdit*>("exportOutput")->setText(c.output);
    dialog.findChild<QCheckBox*>("exportResiduals")->setChecked(c.residuals);
    geo::ExportRequest request;
    std::string error;
    EXPECT_EQ(dialog.Request(request, error), *c.error == '\0') << c.output << ": " << error;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    if (error.empty()) {
      EXPECT_EQ(request.output.parent_path(), folder.path());  // beside the project
    }
  }
}

TEST_F(GisTest, TheCoordinateSystemIsStoredOrRemovedAndShown) {
  prompts.onDialog = AcceptWith<CrsDialog>([](CrsDialog& d) {
    d.findChild<QLineEdit*>("crsDefinition")->setText("EPSG:999999");
    d.accept();  // refused: the dialog stays open with GDAL's word
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(d.findChild<QLabel*>("crsNote")->text().isEmpty());
    d.findChild<QLineEdit*>("crsDefinition")->setText("EPSG:28992");
  });
  EXPECT_TRUE(frame.gisCommands().CoordinateSystem());
  EXPECT_NE(frame.findChild<QLabel*>("crsStatus")->text().indexOf("28992"), -1);
  prompts.onDialog = AcceptWith<CrsDialog>(
      [](CrsDialog& d) { d.findChild<QCheckBox*>("crsNone")->setChecked(true); });
  EXPECT_TRUE(frame.gisCommands().CoordinateSystem());
  EXPECT_EQ(frame.findChild<QLabel*>("crsStatus")->text(), "No coordinate system");
}

TEST_F(GisTest, AProjectHeldByAnotherCommandIsRefusedAndNothingChanges) {
  std::optional<project::ProjectLock> held;
  long holder = 0;
  ASSERT_EQ(
      project::ProjectLock::Acquire(folder.In("W.mnx"), std::chrono::milliseconds(0), held, holder),
      project::ProjectLock::Outcome::kLocked);
  bool ran = false;
  const GisOutcome outcome = RunGisTask(
      &frame, "test", folder.In("W.mnx"),
      [&] {
        ran = true;
        return GisOutcome{true};
      },
      std::chrono::milliseconds(0));
  EXPECT_FALSE(ran);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.error.find("try again"), std::string::npos) << outcome.error;
  held.reset();
  EXPECT_TRUE(RunGisTask(&frame, "test", folder.In("W.mnx"), [] { return GisOutcome{true}; }).ok);
}

TEST_F(GisTest, GridFieldsAreCheckedBeforeAnythingIsWritten) {
  const struct {
    const char* spacing;
    const char* margin;
    const char* preview;  // a part of the preview
  } cases[] = {
      {"100", "", "12 x 12 = 144 nodes"},  // -100..1100: a margin of one spacing
      {"abc", "", "takes a number"},
      {"100", "-5", "margin"},
      {"0", "", "spacing"},
  };
  for (const auto& c : cases) {
    GridDialog dialog({0.0, 950.0}, {0.0, 950.0});
    dialog.findChild<QLineEdit*>("gridMargin")->setText(c.margin);
    dialog.findChild<QLineEdit*>("gridSpacing")->setText(c.spacing);
    EXPECT_NE(dialog.Preview().indexOf(c.preview), -1)
        << c.spacing << ": " << dialog.Preview().toStdString();
  }
}

}  // namespace
}  // namespace mornax::gui
