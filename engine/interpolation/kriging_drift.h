// The polynomial drift of kriging: the drift terms 1, x', y', x'^2, y'^2,
// x'y' in coordinates scaled by the neighbourhood's largest x and y, and the
// test that the drift can be told apart at the chosen neighbours.
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

// (x sx)^ex (y sy)^ey with sx = 1/xmax (1 when xmax is 0) and likewise sy; a
// factor whose exponent is 0 is 1.
double DriftTerm(double x, double y, int ex, int ey, double xmax, double ymax);

// The largest x and the largest y among the first `count` neighbours.
void NeighbourExtent(std::span<const double> xn, std::span<const double> yn, int count,
                     double& xmax, double& ymax);

// True when the drift columns of the kriging system, F(k, t) for the `count`
// neighbours and `terms` drift terms, stored column by column from `columns`
// with leading dimension `ld`, are linearly dependent: fewer neighbours than
// terms, neighbours on one straight line with a drift of order 1 or more, or
// on one conic with order 2. The system is then singular, whether or not
// rounding leaves an exact zero pivot in its factorisation.
bool DriftIsDegenerate(const double* columns, int ld, int count, int terms);

}  // namespace mornax
