// In-memory data sets for the benchmark cases: points scattered over a
// 10 km x 10 km site with a smooth field plus noise and a guess for each,
// from a fixed seed, and work arrays sized for one estimate.
#pragma once

#include <cstddef>
#include <vector>

#include "core/messages.h"
#include "core/work_arrays.h"
#include "estimation/data_points.h"
#include "estimation/neighbours.h"
#include "estimation/spatial_index.h"

namespace mornax::bench {

class Field {
 public:
  explicit Field(int count, unsigned seed = 1995);
  DataSet Data();
  // A point of the site (x, y) from a second fixed stream: estimation points.
  std::vector<double> QueryX(int count) const;
  std::vector<double> QueryY(int count) const;

 private:
  std::vector<double> x_, y_, z_, guess_;
};

// Neighbour arrays of `capacity` entries (matrices capacity x capacity) and a
// distance array of `points` entries.
struct Scratch {
  Scratch(std::size_t capacity, std::size_t points);
  EstimateWorkspace View(const SpatialIndex* index);

  NeighbourArrays neighbours;
  std::vector<double> distance;
};

// 100 000 points, their index and 4096 estimation points, made once for all
// cases.
inline constexpr int kPoints = 100000;
inline constexpr int kQueries = 4096;
struct Setup {
  Setup();
  Field field;
  DataSet data;
  SpatialIndex index;
  std::vector<double> qx, qy;
};
Setup& Shared();

class QuietMessages : public Messages {
 public:
  void AddLine(int, std::string_view) override {}
  void ShowMessage(std::string_view) override {}
  bool PollCancel() override { return false; }
  void WriteOutput(std::string_view) override {}
};

}  // namespace mornax::bench
