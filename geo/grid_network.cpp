#include "geo/grid_network.h"

#include <cmath>
#include <vector>

#include "geo/data_file.h"
#include "geo/number_text.h"
#include "geo/raster_sampler.h"
#include "geo/replace_file.h"

namespace mornax::geo {
namespace {

// Column positions are formatted once when there are not too many of them.
constexpr std::int64_t kMostCachedColumns = 1 << 22;

std::string NodeText(double x, double y) {
  std::string text = "(";
  AppendSignificant15(text, x);
  text += ", ";
  AppendSignificant15(text, y);
  return text + ")";
}

}  // namespace

bool WriteGridNetwork(const std::filesystem::path& dataFile, const GridRequest& request,
                      const NetworkGuesses& guesses, GridLayout& layout, std::string& error) {
  DataSection section;
  if (!ScanDataSection(dataFile, section, error)) return false;
  const bool withGuesses = guesses.constant.has_value() || guesses.raster.has_value();
  if (section.guesses && !withGuesses) {
    error = "the data points of " + dataFile.string() +
            " carry guesses, so the network needs them too: give --guess-raster FILE or --guess V";
    return false;
  }
  if (guesses.constant && !std::isfinite(*guesses.constant)) {
    error = "--guess must be a finite number";
    return false;
  }
  if (!LayOutGrid(request, section.x, section.y, layout, error)) return false;

  RasterSampler sampler;
  if (guesses.raster && !sampler.Load(*guesses.raster, layout.X(0), layout.Y(layout.rows - 1),
                                      layout.X(layout.columns - 1), layout.Y(0), error)) {
    return false;
  }
  std::string constantText;
  if (guesses.constant) AppendSignificant15(constantText, *guesses.constant);

  ReplacementFile file;
  if (!file.Open(dataFile, error) || !file.CopyFrom(dataFile, 0, section.end, error)) {
    return false;
  }
  const std::string& lineEnd = section.lineEnd;
  std::string text;
  if (!section.endsWithLineEnd) text += lineEnd;
  text += std::to_string(layout.nodes()) + lineEnd;
  file.Write(text);

  std::vector<std::string> columnTexts;
  if (layout.columns <= kMostCachedColumns) {
    columnTexts.resize(static_cast<std::size_t>(layout.columns));
    for (std::int64_t column = 0; column < layout.columns; ++column) {
      AppendSignificant15(columnTexts[static_cast<std::size_t>(column)], layout.X(column));
    }
  }
  for (std::int64_t row = 0; row < layout.rows; ++row) {
    text.clear();
    std::string rowText;
    const double y = layout.Y(row);
    AppendSignificant15(rowText, y);
    for (std::int64_t column = 0; column < layout.columns; ++column) {
      if (columnTexts.empty()) {
        AppendSignificant15(text, layout.X(column));
      } else {
        text += columnTexts[static_cast<std::size_t>(column)];
      }
      text += ' ';
      text += rowText;
      if (guesses.raster) {
        double guess = 0.0;
        if (!sampler.Sample(layout.X(column), y, guess)) {
          error = "grid node " + std::to_string(row * layout.columns + column + 1) + " at " +
                  NodeText(layout.X(column), y) + " has no value in " + guesses.raster->string() +
                  " (outside it or nodata)";
          return false;
        }
        text += ' ';
        AppendSignificant15(text, guess);
      } else if (guesses.constant) {
        text += ' ';
        text += constantText;
      }
      text += lineEnd;
      if (text.size() > (1u << 20)) {
        file.Write(text);
        text.clear();
      }
    }
    file.Write(text);
  }
  return file.Commit(error);
}

}  // namespace mornax::geo
