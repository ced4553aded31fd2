#include "help.h"

#include "export_command.h"
#include "project/project.h"

namespace mornax::batch {
namespace {

constexpr std::string_view kCommandsText =
    R"(mornax-batch: runs the computations of a mornax project without a window.

Commands:
  new PROJECT.mnx [--force]
      Writes a document with the new-document defaults. An existing file is
      kept unless --force is given.
  show PROJECT.mnx
      Prints every parameter of the document, one "field = value" per line.
  set PROJECT.mnx field=value ...
      Changes fields of the document. When any assignment is refused the
      document is left unchanged.
  run PROJECT.mnx COMPUTATION [--error-analysis|--interpolate] [--threads N]
      [field=value ...]
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
      --interpolate (.dat, .lev, .wl; the default). Assignments apply to this
      run only; the document is not changed. --threads N computes on N
      threads (1: one after the other); without it the MORNAX_THREADS
      environment variable gives the number, else every core is used. The
      results are the same for every number of threads.
  grid PROJECT.mnx --spacing D [--spacing-y DY]
      [--extent XMIN YMIN XMAX YMAX | --margin M] [--guess-raster FILE | --guess V]
      Replaces the network of PROJECT.dfl with the nodes of a regular grid:
      cell centres, rows from the top, x fastest (the order of GIS rasters).
      The title and the data points are kept byte for byte. Without --extent
      the grid covers the data points' bounding box grown by --margin (default
      one spacing) and snapped outward to whole spacings; a given extent that
      is no whole number of spacings grows up and to the right. Network guesses
      (for Bayesian estimation) come from a raster sampled bilinearly at each
      node or from a constant; data points with guesses need one of the two.
      Prints columns x rows = nodes; at most 100000000 nodes.
  import PROJECT.mnx SOURCE --z FIELD [--guess FIELD] [--x FIELD --y FIELD]
      [--layer NAME] [--title TEXT]
      Writes the data points of PROJECT.dfl from any vector source GDAL opens
      (CSV, GeoPackage, Shapefile, GeoJSON, ...): the value from field --z, the
      guess from --guess, the position from the point geometry (a CSV's x/y,
      easting/northing or lon/lat columns are found by name) or from the fields
      --x and --y. The network of PROJECT.dfl is kept (a new file gets none),
      and so is its title unless --title gives one. Rows with a null or
      non-numeric value are dropped, and so are values not above zero when
      the document's logTransform is 1; the command reports the features
      read, taken and dropped with the reasons. Points are transformed into
      the project's coordinate system when the source has another.
  crs PROJECT.mnx EPSG:NNNN | FILE.prj | WKT | none
      Stores the project's coordinate system as PROJECT.prj beside the
      document (WKT, ESRI convention), checked by GDAL; none removes it. show
      prints it as "crs = ..." when there is one.
  map PROJECT.mnx OUTPUT.png|svg|pdf [--layer estimate|std|guess|residuals]
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
  help, --help, -h
      Shows this text.

The document name is the project name plus a 4-character extension (.mnx):
at most 19 characters, the project name at most 12.

Fields and the values they accept (reals must be finite 32-bit values):
)";

constexpr std::string_view kTailText = R"(
Model numbers: 1 Polynomial, 2 Spherical, 3 Exponential, 4 Gaussian,
5 De Wijsian, 6 k_Rho (kriging takes 1-5).
dwScheme: 1 1/d, 2 (1-d/1.1Dmax)^2/(d/1.1Dmax)^2, 3 exp(-alpha d), 4 1/d^2,
5 exp(alpha d^2)/(d^2+eps), 6 exp(-d/d^2)/(d^2+eps), 7 trend surface of degree
trendDegree. scaleGuess: 0 None, 1 Mean Window, 2 Mean, 3 Linear.
initial1-3, minimum1-3 and maximum1-3 are the fit parameters B1, B2, B3.

Progress lines go to standard output, message boxes to standard error.
Ctrl-C during a run cancels it as the Cancel button would.

Exit status:
  0  done; a run showed no message box
  1  a run showed at least one message box (its text is on standard error)
     or was stopped by Ctrl-C;
     grid, import and crs: bad input (named on standard error), no file changed
  2  bad usage, a refused value, or a document that cannot be read or written

Example:
  mornax-batch new SITE1.mnx
  mornax-batch set SITE1.mnx lagDistance=250 lagCount=20 krigModel=2
  mornax-batch run SITE1.mnx variogram
  mornax-batch run SITE1.mnx kriging --error-analysis krigPoints=12
)";

}  // namespace

std::string HelpText() {
  std::string text(kCommandsText);
  for (const project::FieldInfo& field : project::Fields()) {
    std::string line = "  " + std::string(field.name);
    line.resize(18, ' ');
    line += field.IsInteger() ? "integer  " : "real     ";
    text += line + project::RangeText(field) + "\n";
  }
  text += "\nExporting results:" + ExportHelpText();
  text += kTailText;
  return text;
}

std::string UsageLine() {
  return "usage: mornax-batch new|show|set|run|grid|import|crs|export|map PROJECT.mnx ... "
         "(mornax-batch --help for more)";
}

}  // namespace mornax::batch
