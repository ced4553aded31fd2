#include "help.h"

#include <array>

#include "export_command.h"
#include "project/fitted_model.h"
#include "project/project.h"

namespace mornax::batch {
namespace {

constexpr std::string_view kIntro =
    R"(mornax-batch: runs the computations of a mornax project without a window.

A first project, from a CSV of wells to a GeoTIFF:
  mornax-batch new    site.mnx
  mornax-batch import site.mnx wells.csv --z level
  mornax-batch grid   site.mnx --spacing 250
  mornax-batch run    site.mnx variogram --auto-lag
  mornax-batch run    site.mnx fit
  mornax-batch use-fit site.mnx
  mornax-batch run    site.mnx kriging --interpolate
  mornax-batch export site.mnx site.tif

Commands (mornax-batch COMMAND --help or mornax-batch help COMMAND shows one):
)";

// One paragraph per command, in the order of the full help.
struct CommandText {
  std::string_view name;
  std::string_view text;
};

constexpr std::string_view kNewText = R"(  new PROJECT.mnx [--force]
      Writes a document with the new-document defaults. An existing file is
      kept unless --force is given. The data file PROJECT.dfl goes beside it
      (mornax-batch import writes it from a GIS source).
)";

constexpr std::string_view kShowText = R"(  show PROJECT.mnx
      Prints every parameter of the document, one "field = value" per line.
)";

constexpr std::string_view kSetText = R"(  set PROJECT.mnx field=value ...
      Changes fields of the document. When any assignment is refused the
      document is left unchanged. The document is written beside itself and
      renamed over the old one, so a failed write leaves it intact.
)";

constexpr std::string_view kUseFitText = R"(  use-fit PROJECT.mnx [--joint]
      With --joint: the joint fit of "directions PROJECT.mnx --fit MODEL"
      (PROJECT.jfr), as below and with angle and ratio. Otherwise copies the model fitted by "run PROJECT.mnx fit" (PROJECT.sol) into the
      semivariogram fields of kriging and Bayesian estimation, as the
      program's "Use fitted model" does: krigModel and bayesModel become the
      fitted model; for Spherical, Exponential and Gaussian sill = B1 + B3,
      c = B1, a = B2, c0 = B3; Polynomial c = B1, a = B2, c0 = B3 (sill kept:
      it caps the model); De Wijsian a = B2, c0 = B3. Prints every field it
      set. Refused, with the document unchanged, when there is no fit report,
      the fit did not converge, the model is k_Rho (kriging cannot take it)
      or a value is outside its field's range.
)";

constexpr std::string_view kRunText =
    R"(  run PROJECT.mnx COMPUTATION [--error-analysis|--interpolate] [--threads N]
      [--auto-lag] [--raster OUT.tif [--no-text] [--float64]
      [--neighbour-distance] [--tile XMIN YMIN XMAX YMAX]] [field=value ...]
      Runs one computation on the project's data file PROJECT.dfl, found
      beside the document; the results are written there too.
      COMPUTATION is one of
        variogram   experimental semivariogram (.var, .fit)
        fit         semivariogram model fit (.sol)
        weighting   distance weighting or trend surface (dwScheme 7)
        kriging     kriging
        bayes       Bayesian estimation
      The three interpolations re-estimate every data point with
      --error-analysis (.lst) or interpolate at the network points with
      --interpolate (.dat, .lev, .wl; the default). Interpolation needs a
      network in PROJECT.dfl (mornax-batch grid makes one).
      variogram --auto-lag: the lag distance for this run is half the
      diagonal of the data points' bounding box divided by lagCount, but no
      more than the typical distance between neighbouring points; it is
      printed.
      fit: when the nine starting values and bounds (initial1-3, minimum1-3,
      maximum1-3) are all 0, as in a new document, they are read off the
      semivariogram of PROJECT.fit for this run: the nugget from the first
      classes, the sill from the plateau, the range where the curve reaches
      it, bounds around them (a spherical fit then uses the classes up to a
      little past that range). They are printed; set them to fit otherwise.
      Assignments apply to this run only; the document is not changed.
      --threads N computes on N threads (1: one after the other); without it
      the MORNAX_THREADS environment variable gives the number, else every
      core is used. The results are the same for every number of threads.
      On a terminal the counter line also shows the count, the share done
      and the time left; in a pipe or a log a loop writes only its last
      counter line, and a progress line every five seconds.
      --raster OUT.tif (weighting, kriging, bayes with --interpolate, on a
      network that is a regular grid) writes the estimates straight into a
      GeoTIFF as they are computed, in full precision (Float32 bands, or
      Float64 with --float64): estimate, std_error (kriging, Bayes), guess
      (Bayes), and with --neighbour-distance the distance from each node to
      the farthest data point its estimate used. Coordinate system, nodata,
      compression and metadata as export writes them. The text results are
      written too unless --no-text is given.
      --tile XMIN YMIN XMAX YMAX (with --raster and --no-text) estimates only
      the nodes inside the box, from the data points near it, and proves
      that each node has the neighbours of a whole run (a node whose last
      neighbour lies nearer than the edge of the points read is exact; the
      others are estimated again from more points): tiles joined with
      gdalbuildvrt are the whole run bit for bit. Not for the trend surface
      nor for Bayes with scaleGuess 2 or 3, which use every data point.
)";

constexpr std::string_view kGridText = R"(  grid PROJECT.mnx --spacing D [--spacing-y DY]
      [--extent XMIN YMIN XMAX YMAX | --margin M] | --like RASTER
      [--clip POLYGONS] [--hull [MARGIN]] [--guess-raster FILE | --guess V]
      Replaces the network of PROJECT.dfl with the nodes of a regular grid:
      cell centres, rows from the top, x fastest (the order of GIS rasters).
      The title and the data points are kept byte for byte; import the data
      points first. Without --extent the grid covers the data points'
      bounding box grown by --margin (default one spacing) and snapped outward
      to whole spacings; a given extent that is no whole number of spacings
      grows up and to the right. --like takes the cells of a raster (any
      format GDAL reads, north-up, in the project's coordinate system) as the
      nodes instead. --clip keeps only the nodes inside the polygons of the
      first layer of a vector source (transformed into the project's system
      when they are in another); --hull keeps only the nodes within MARGIN
      (default 0) of the data points' convex hull. The nodes left out are
      missing from the network, and exports write nodata there. Network
      guesses (for Bayesian estimation) come from a raster sampled
      bilinearly at each node or from a constant; data points with guesses
      need one of the two. Prints columns x rows = nodes and how many were
      kept; at most 100000000 nodes. A layout with no node, or with positions
      that are not finite or too close to be written apart, is refused.
)";

constexpr std::string_view kImportText =
    R"(  import PROJECT.mnx SOURCE --z FIELD [--guess FIELD] [--x FIELD --y FIELD]
      [--layer NAME] [--title TEXT] [--crs CODE]
      Writes the data points of PROJECT.dfl from any vector source GDAL opens
      (CSV, GeoPackage, Shapefile, GeoJSON, ...): the value from field --z, the
      guess from --guess, the position from the point geometry (a CSV's x/y,
      easting/northing or lon/lat columns are found by name) or from the fields
      --x and --y. The network of PROJECT.dfl is kept (a new file gets none),
      and so is its title unless --title gives one. Rows with a null or
      non-numeric value or a coordinate that is not finite are dropped, and
      so are values not above zero when the document's logTransform is 1;
      the command reports the features read, taken and dropped with the
      reasons. The source's coordinate system is its own, or the one --crs
      states (EPSG:NNNN, a .prj or .wkt file, or WKT; a CSV has none of its
      own). A project without a system takes the source's; otherwise the
      points are transformed into the project's system, and the command says
      how many. Coordinate columns named like longitude and latitude in a
      projected project need --crs (EPSG:4326 for degrees on WGS 84). A
      damaged source (GDAL fails while reading it, a CSV line over GDAL's line
      limit, fewer features than its layer counts, an unreadable Shapefile
      .prj) is refused and nothing is written.
)";

constexpr std::string_view kCrsText =
    R"(  crs PROJECT.mnx EPSG:NNNN | FILE.prj | FILE.wkt | WKT | none
      Stores the project's coordinate system as PROJECT.crs.wkt beside the
      document: WKT2 carrying the EPSG code, found in GDAL's EPSG database
      also for a .prj or WKT without one; none leaves the project without a
      system. A bare number is not taken: EPSG:28992, not 28992. Projects
      that kept their system in PROJECT.prj are still read; when a Shapefile
      PROJECT.shp shares that file, the system is copied to PROJECT.crs.wkt
      and the .prj is left to the Shapefile. show prints the system as
      crs = NAME (EPSG:NNNN) when there is one.
)";

constexpr std::string_view kMapText =
    R"(  map PROJECT.mnx OUTPUT.png|svg|pdf [--layer estimate|std|guess|residuals]
      [--size WxH] [--levels lev|auto|V1,V2,...]
      Draws the result map of the last interpolation (or, with --layer
      residuals, of the last error analysis) as a picture, without a
      display: the colour surface of a regular-grid network (coloured points
      for a scattered one), contour lines at the .lev levels (lev, the
      default), at round levels (auto) or at the values given, and the data
      points. The levels follow the rules of export: under the log transform
      the .lev list holds logarithms, so the default draws round levels and
      --levels lev is refused; levels given that lie outside the surface are
      refused, default ones that cannot be drawn leave a note. --size is in
      pixels (default 1200x900); SVG and PDF get the same size at 96 dots
      per inch. Reads the result files only; nothing is computed. Exit
      status 1 when there is nothing to map or the picture cannot be written
      (the reason is the system's, such as a full disk).
)";

constexpr std::string_view kHelpText = R"(  help [COMMAND], --help, -h, COMMAND --help
      Shows this text, or the help of one command.
)";

constexpr std::string_view kDirectionsText =
    R"(  directions PROJECT.mnx [--directions A,B,...] [--tolerance T]
      [--map-cells M] [--map-cell SIZE] [--geotiff] [--fit MODEL] [--threads N]
      The semivariogram of PROJECT.dfl in several direction sectors at once
      (default 0,45,90,135 degrees from +x towards +y, each --tolerance wide,
      default 45) with the document's lagCount, lagDistance, logTransform and
      subtract: PROJECT.vdr, one class table per direction, each the
      variogram run's table for that direction. With --map-cells M (1-500)
      also the variogram map, PROJECT.vmp: semivariance and pairs on a grid of
      (2M+1)^2 lag vectors (dx, dy) of --map-cell (default lagDistance), every
      pair counted at (dx, dy) and (-dx, -dy); --geotiff writes it as
      PROJECT_vmap.tif too (bands semivariance and pairs, nodata where no
      pair). One pass over the pairs within the largest distance needed.
      --fit MODEL (2-4) fits the directions together: a common nugget and
      sill, the range by direction through an angle and a ratio; the report
      is PROJECT.jfr, and use-fit --joint copies it into the document.
)";

constexpr std::array<CommandText, 11> kCommandTexts = {{{"new", kNewText},
                                                        {"show", kShowText},
                                                        {"set", kSetText},
                                                        {"use-fit", kUseFitText},
                                                        {"run", kRunText},
                                                        {"grid", kGridText},
                                                        {"import", kImportText},
                                                        {"crs", kCrsText},
                                                        {"map", kMapText},
                                                        {"directions", kDirectionsText},
                                                        {"help", kHelpText}}};

// What each field means, with its unit. "distance unit" is the unit of the
// coordinates (metres in a projected system); "semivariance unit" is the
// square of the values' unit (of their logarithms under logTransform).
struct FieldMeaning {
  std::string_view name;
  std::string_view meaning;
};

constexpr std::array<FieldMeaning, 39> kFieldMeanings = {{
    {"subtract", "1: data records carry a guess; the semivariogram takes |z - guess|"},
    {"logTransform", "1: semivariogram, kriging and Bayes work on ln z (values must be > 0)"},
    {"lagCount", "lag classes of the semivariogram; also the classes the fit uses"},
    {"lagDistance", "width of a lag class, distance unit"},
    {"tolerance", "full opening angle of the direction sector, degrees (360: all)"},
    {"direction", "axis of the sector, degrees from +x towards +y"},
    {"fitPointCount", "size of the fit's class table (>= the classes in .fit)"},
    {"bestFit", "1: fit the model; 0: only evaluate it at initial1-3"},
    {"model", "the model the fit adjusts (Models below)"},
    {"initial1", "starting value of B1 (Models below)"},
    {"initial2", "starting value of B2"},
    {"initial3", "starting value of B3"},
    {"minimum1", "lower bound of B1"},
    {"minimum2", "lower bound of B2"},
    {"minimum3", "lower bound of B3"},
    {"maximum1", "upper bound of B1"},
    {"maximum2", "upper bound of B2"},
    {"maximum3", "upper bound of B3 (all nine 0: run fit derives them)"},
    {"dwPoints", "nearest data points of distance weighting"},
    {"krigPoints", "nearest data points of kriging"},
    {"bayesPoints", "nearest data points of Bayesian estimation"},
    {"dwScheme", "weighting scheme (below)"},
    {"krigModel", "semivariogram model of kriging (Models below)"},
    {"bayesModel", "semivariogram model of Bayesian estimation"},
    {"krigOrder", "drift: 0 constant mean (ordinary), 1 linear, 2 quadratic"},
    {"trendDegree", "degree of the trend surface (dwScheme 7)"},
    {"scaleGuess", "guess scaling: 0 None, 1 Mean Window, 2 Mean, 3 Linear"},
    {"sill", "TOTAL sill, nugget included (= c + c0), semivariance unit"},
    {"a", "range (2-4, distance unit), power (1) or slope of ln h (5)"},
    {"c", "PARTIAL sill, the rise above the nugget (2-4), or factor (1)"},
    {"c0", "nugget, semivariance unit"},
    {"guessSill", "the guesses' semivariogram, as sill (0: not used)"},
    {"guessA", "the guesses' semivariogram, as a"},
    {"guessC", "the guesses' semivariogram, as c"},
    {"guessC0", "the guesses' semivariogram, as c0"},
    {"sigma", "k_Rho (Bayes model 6): B1, the semivariance at distance 0"},
    {"k", "k_Rho: B2; the sill is sigma (1 + k)"},
    {"rho", "k_Rho: B3, correlation per lagD"},
    {"lagD", "k_Rho: distance unit of rho, distance unit"},
}};

// The model terms of kriging and Bayes beyond the records.
constexpr std::array<FieldMeaning, 12> kTermMeanings = {{
    {"angle", "anisotropy: major axis, degrees from +x towards +y (as direction)"},
    {"ratio", "anisotropy: range across the major axis / range along it (1: isotropic)"},
    {"structure2Model", "a second structure: 0 none, models 1-5 (not with k_Rho)"},
    {"structure2C", "its sill (2-4) or slope (1: c h^a, 5: c ln h)"},
    {"structure2A", "its range (2-4) or exponent (1), distance unit"},
    {"structure2Angle", "its own anisotropy: major axis, degrees"},
    {"structure2Ratio", "its own anisotropy: ratio of ranges"},
    {"structure3Model", "a third structure, as structure2Model"},
    {"structure3C", "as structure2C"},
    {"structure3A", "as structure2A"},
    {"structure3Angle", "as structure2Angle"},
    {"structure3Ratio", "as structure2Ratio"},
}};

constexpr std::string_view kTermsText = R"(
Anisotropy and nested structures (kriging and Bayes): distances are measured
as sqrt(u^2 + (v / ratio)^2), u along the major axis at `angle`, v across it,
so a range a holds along the axis and ratio * a across it. The gamma of a
nested model is the first structure (sill, a, c, c0 as above) plus each
further structure. The neighbour search measures in the anisotropy of the
structure with the largest range (models 2-4). Bayes' guesses take `angle`
and `ratio` and no further structure. Other conventions: the R package's
anis = c(90 - angle, ratio); GSLIB-style azimuth = 90 - angle, with
anisotropy ratio = ratio.
)";

constexpr std::string_view kModelsText = R"(
Models (model, krigModel, bayesModel; kriging takes 1-5). h is the distance,
r = h / a. The fit's parameters B1-B3 and the fields kriging and Bayes use:
  1 Polynomial   fit  B1 h^B2 + B3         B1 slope, B2 power (0-2), B3 nugget
                 kriging  min(c h^a + c0, sill): c, a, c0, and sill as a cap
  2 Spherical    fit  B3 + B1 r (1.5 - 0.5 r^2), r = h / B2
                 kriging  c (1.5 r - 0.5 r^3) + c0 up to h = a, sill beyond
  3 Exponential  fit  B3 + B1 (1 - exp(-r));  kriging c (1 - exp(-r)) + c0
  4 Gaussian     fit  B3 + B1 (1 - exp(-r^2)); kriging c (1 - exp(-r^2)) + c0
                 In 2-4: B1 = c (partial sill), B2 = a (range), B3 = c0
                 (nugget); the sill is B1 + B3, and the fit report prints that
                 sum after SILL. Exponential and Gaussian reach the sill only
                 asymptotically (95 % at h = 3a and h = 1.73a).
  5 De Wijsian   fit  B3 + B2 ln h (B1 not used); kriging a ln h + c0
                 B2 = a (slope of ln h), B3 = c0; sill and c are not used.
  6 k_Rho        fit  B1 (1 + B2 (1 - B3^(h / first class distance)))
                 Bayes only: sigma = B1, k = B2, rho = B3, lagD = the first
                 class distance (the fit prints it as "Dlag for Bayes").
mornax-batch use-fit copies them.

dwScheme: 1 1/d, 2 (1-d/1.1Dmax)^2/(d/1.1Dmax)^2, 3 exp(-alpha d), 4 1/d^2,
5 exp(alpha d^2)/(d^2+eps), 6 exp(-d/d^2)/(d^2+eps), 7 trend surface of degree
trendDegree.

Error analysis (--error-analysis, PROJECT.lst, export --error-analysis): the
error of a data point is its estimate minus its measured value, Z* - Z
(positive where the method estimates too high); the .lst column headed Z-Z*
holds that difference.
)";

constexpr std::string_view kTailText = R"(
Progress lines go to standard output, message boxes to standard error.
Ctrl-C (and a termination or hangup signal) during a run stops it as the
Cancel button would: the earlier result files stay as they were, or the
results computed so far are kept as after a stop, and the exit status is 1.

Commands that change a project's files (new, set, use-fit, run, grid, import,
crs, export, map) hold a lock on the project, the file PROJECT.mnx.lock: a
second such command waits up to 10 seconds (MORNAX_LOCK_WAIT seconds) and is
then refused with a message naming the command that holds it. Temporary files
that a killed command left in the project's folder (NAME.PID-N.part) are
removed by the next of these commands.

Exit status:
  0  done; a run showed no message box
  1  a run showed at least one message box (its text is on standard error)
     or was stopped; interpolation without a network; use-fit without a
     usable fit; another command holds the project;
     grid, import and crs: bad input (named on standard error), no file changed
  2  bad usage, a refused value, or a document that cannot be read or written
)";

std::string FieldTable() {
  std::string text = "\nFields: name, type, accepted values, meaning (reals are 32-bit):\n";
  for (const project::FieldInfo& field : project::Fields()) {
    std::string line = "  " + std::string(field.name);
    line.resize(18, ' ');
    line += field.IsInteger() ? "integer  " : "real     ";
    line += project::RangeText(field) + " ";
    if (line.size() < 40) line.resize(40, ' ');
    for (const FieldMeaning& meaning : kFieldMeanings) {
      if (meaning.name == field.name) line += meaning.meaning;
    }
    text += line + "\n";
  }
  text += "Model terms, kept after the 39 values (show lists them once one is set):\n";
  for (const project::FieldInfo& field : project::TermFields()) {
    std::string line = "  " + std::string(field.name);
    line.resize(18, ' ');
    line += field.IsInteger() ? "integer  " : "real     ";
    line += project::RangeText(field) + " ";
    if (line.size() < 40) line.resize(40, ' ');
    for (const FieldMeaning& meaning : kTermMeanings) {
      if (meaning.name == field.name) line += meaning.meaning;
    }
    text += line + "\n";
  }
  return text + std::string(kTermsText);
}

}  // namespace

std::string HelpText() {
  std::string text(kIntro);
  for (const CommandText& command : kCommandTexts) {
    if (command.name == "map") text += "\nExporting results:" + ExportHelpText() + "\n";
    text += command.text;
  }
  text +=
      "\nThe document name is the project name plus a 4-character extension (.mnx):\n"
      "at most 19 characters, the project name at most 12.\n";
  text += FieldTable();
  text += kModelsText;
  text += kTailText;
  return text;
}

std::string CommandHelp(std::string_view command) {
  if (command == "export") return "usage:" + ExportHelpText();
  for (const CommandText& entry : kCommandTexts) {
    if (entry.name != command) continue;
    std::string text = "usage:\n" + std::string(entry.text);
    if (command == "set" || command == "show" || command == "run" || command == "use-fit") {
      text += FieldTable() + std::string(kModelsText);
    }
    return text;
  }
  return HelpText();
}

std::string UsageLine() {
  return "usage: mornax-batch new|show|set|use-fit|run|grid|import|crs|export|map|directions "
         "PROJECT.mnx ... "
         "(mornax-batch --help for more)";
}

}  // namespace mornax::batch
