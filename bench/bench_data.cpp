#include "bench_data.h"

#include <cmath>
#include <random>

namespace mornax::bench {
namespace {

constexpr double kExtent = 10000.0;

double Smooth(double x, double y) {
  return 72.0 - 0.0008 * x + 0.0006 * y +
         12.0 * std::exp(-((x - 2500) * (x - 2500) + (y - 7000) * (y - 7000)) /
                         (2.0 * 1400.0 * 1400.0)) +
         1.5 * std::sin(x / 900.0) * std::cos(y / 1300.0);
}

}  // namespace

Field::Field(int count, unsigned seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> place(0.0, kExtent);
  std::normal_distribution<double> noise(0.0, 0.5);
  for (int i = 0; i < count; ++i) {
    const double x = std::round(place(random) * 100.0) / 100.0;
    const double y = std::round(place(random) * 100.0) / 100.0;
    x_.push_back(x);
    y_.push_back(y);
    z_.push_back(Smooth(x, y) + noise(random));
    guess_.push_back(0.9 * Smooth(x, y) + 9.0 + 3.0 * noise(random));
  }
}

DataSet Field::Data() {
  DataSet data;
  data.x = x_;
  data.y = y_;
  data.z = z_;
  data.guess = guess_;
  data.count = static_cast<int>(x_.size());
  data.zmin = data.zmax = z_.empty() ? 0.0 : z_.front();
  return data;
}

std::vector<double> Field::QueryX(int count) const {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> place(0.0, kExtent);
  std::vector<double> values;
  for (int i = 0; i < count; ++i) {
    values.push_back(place(random));
    place(random);
  }
  return values;
}

std::vector<double> Field::QueryY(int count) const {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> place(0.0, kExtent);
  std::vector<double> values;
  for (int i = 0; i < count; ++i) {
    place(random);
    values.push_back(place(random));
  }
  return values;
}

Scratch::Scratch(std::size_t capacity, std::size_t points) : distance(points, 0.0) {
  for (auto* array :
       {&neighbours.x, &neighbours.y, &neighbours.value, &neighbours.work1, &neighbours.work2,
        &neighbours.work3, &neighbours.work4, &neighbours.work5, &neighbours.work6}) {
    array->data.assign(capacity, 0.0);
  }
  neighbours.index.data.assign(capacity, 0);
  for (auto* matrix :
       {&neighbours.matrix1, &neighbours.matrix2, &neighbours.matrix3, &neighbours.matrix4}) {
    matrix->data.assign(capacity * capacity, 0.0);
  }
}

Setup::Setup() : field(kPoints), data(field.Data()) {
  index.Build(data.x, data.y, data.count);
  qx = field.QueryX(kQueries);
  qy = field.QueryY(kQueries);
}

Setup& Shared() {
  static Setup setup;
  return setup;
}

EstimateWorkspace Scratch::View(const SpatialIndex* index) {
  EstimateWorkspace view{neighbours, std::span<double>(distance)};
  view.index = index;
  return view;
}

}  // namespace mornax::bench
