// A data set and the neighbourhood arrays of one kriging run, sized for the
// estimate tests, with access to the solved system.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "kriging/kriging_drift.h"
#include "kriging/kriging_estimate.h"
#include "support/recorder_messages.h"

namespace mornax::testing {

class KrigingHarness {
 public:
  // m is the capacity of the neighbourhood arrays (the leading dimension).
  KrigingHarness(std::vector<double> x, std::vector<double> y, std::vector<double> z, int m = 40)
      : x_(std::move(x)), y_(std::move(y)), z_(std::move(z)), distance_(x_.size()), m_(m) {
    for (auto* array : {&nb_.x, &nb_.y, &nb_.value, &nb_.work1, &nb_.work2, &nb_.work3, &nb_.work4,
                        &nb_.work5, &nb_.work6}) {
      array->data.assign(static_cast<std::size_t>(m), 0.0);
    }
    nb_.index.data.assign(static_cast<std::size_t>(m), 0);
    nb_.matrix4.data.assign(static_cast<std::size_t>(m) * static_cast<std::size_t>(m), 0.0);
    data_.x = x_;
    data_.y = y_;
    data_.z = z_;
    data_.count = static_cast<int>(x_.size());
  }

  KrigingParameters Parameters(VariogramModel model, int nearest, int order, bool log = false) {
    KrigingParameters p;
    p.variogram = model;
    p.nearest = nearest;
    p.driftTerms = DriftTermCount(order);
    p.logTransform = log;
    p.leadingDimension = m_;
    return p;
  }

  KrigingResult At(const KrigingParameters& p, double x0, double y0, int excluded = -1) {
    EstimateWorkspace workspace{nb_, distance_};
    return KrigingEstimate(messages, data_, p, x0, y0, excluded, workspace);
  }

  // b after the solution: weights, then drift multipliers.
  double Solution(int k) const { return nb_.work3[static_cast<std::size_t>(k)]; }
  // The right-hand side as built.
  double RightHandSide(int k) const { return nb_.work4[static_cast<std::size_t>(k)]; }

  const std::vector<double>& x() const { return x_; }
  const std::vector<double>& y() const { return y_; }
  const std::vector<double>& z() const { return z_; }

  RecorderMessages messages;

 private:
  std::vector<double> x_, y_, z_, distance_;
  int m_;
  NeighbourArrays nb_;
  DataSet data_;
};

}  // namespace mornax::testing
