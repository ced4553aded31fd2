// The polynomial drift of kriging: the drift terms 1, u, v, u^2, v^2, uv in
// coordinates local to the neighbourhood, and the test that the drift can be
// told apart at the chosen neighbours.
#pragma once

#include <array>
#include <span>

namespace mornax {

inline constexpr int kMaxDriftTerms = 6;
// Exponents of x and y of the drift terms, in order.
inline constexpr std::array<int, kMaxDriftTerms> kDriftXExponents{0, 1, 0, 2, 0, 1};
inline constexpr std::array<int, kMaxDriftTerms> kDriftYExponents{0, 0, 1, 0, 2, 1};

// Number of drift terms of a kriging order: 1, 3 or 6 for orders 0, 1, 2;
// 0 for any other order.
int DriftTermCount(int order);

// The local coordinates of a neighbourhood: u = (x - centreX) / scale and
// v = (y - centreY) / scale, centred on the middle of the neighbours' bounding
// box and divided by its larger half-extent, so that every neighbour lies in
// [-1, 1] wherever the origin is. Raw projected coordinates (hundreds of
// kilometres, a neighbourhood of a few hundred metres) would make 1, x, x^2
// nearly dependent and cost the system most of its digits; the local terms
// span the same functions, so the estimate and its variance are the same.
struct DriftFrame {
  double centreX = 0.0;
  double centreY = 0.0;
  double scale = 1.0;
  // The rounding the local coordinates carry from the raw ones (half a unit
  // in the last place of the largest raw coordinate, in local units): drift
  // columns that differ by no more than this are the same column.
  double rounding = 0.0;
};

// The frame of the first `count` neighbours. All neighbours in one place (or
// none) give the scale 1.
DriftFrame NeighbourFrame(std::span<const double> xn, std::span<const double> yn, int count);

// u^ex v^ey at (x, y) in the frame; a factor whose exponent is 0 is 1, so
// the constant term is exactly 1.
double DriftTerm(double x, double y, int ex, int ey, const DriftFrame& frame);

// True when the drift columns of the kriging system, F(k, t) for the `count`
// neighbours and `terms` drift terms, stored column by column from `columns`
// with leading dimension `ld`, are linearly dependent: fewer neighbours than
// terms, neighbours on one straight line with a drift of order 1 or more, or
// on one conic with order 2. The system is then singular, whether or not
// rounding leaves an exact zero pivot in its factorisation. `rounding` is
// the frame's: what is left of a column within a few times that is taken for
// the rounding of the coordinates, not for a real difference.
bool DriftIsDegenerate(const double* columns, int ld, int count, int terms, double rounding);

}  // namespace mornax
