// The triangular solve and the multiply-add against the reference BLAS, bit
// for bit, plus their argument checks and quick returns.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "bayes/dense_kernels.h"
#include "support/recorder_messages.h"

extern "C" {
// Fortran entry points of the reference BLAS; the trailing arguments are the
// hidden lengths of the character arguments.
void dtrsv_(const char* uplo, const char* trans, const char* diag, const int* n, const double* a,
            const int* lda, double* x, const int* incx, std::size_t, std::size_t, std::size_t);
void dgemv_(const char* trans, const int* m, const int* n, const double* alpha, const double* a,
            const int* lda, const double* x, const int* incx, const double* beta, double* y,
            const int* incy, std::size_t);
}

namespace mornax {
namespace {

using testing::RecorderMessages;

std::vector<std::uint64_t> Bits(const std::vector<double>& values) {
  std::vector<std::uint64_t> bits;
  for (double v : values) bits.push_back(std::bit_cast<std::uint64_t>(v));
  return bits;
}

// Random values with some exact zeros, so that the zero skips are exercised.
std::vector<double> RandomValues(std::mt19937_64& rng, std::size_t count, double zeroShare) {
  std::uniform_real_distribution<double> value(-2.0, 2.0);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> values(count);
  for (double& v : values) v = unit(rng) < zeroShare ? 0.0 : value(rng);
  return values;
}

// Stored length of a vector of n elements with increment inc, plus a tail
// that neither routine may touch.
std::size_t StoredLength(int n, int inc) {
  return static_cast<std::size_t>(n > 0 ? (n - 1) * std::abs(inc) + 1 : 0) + 3;
}

TEST(TriangularSolve, MatchesReferenceBitForBit) {
  std::mt19937_64 rng(20240611);
  int cases = 0;
  for (char uplo : {'U', 'L'}) {
    for (char trans : {'N', 'T', 'C'}) {
      for (char diag : {'U', 'N'}) {
        for (int n : {1, 2, 5, 9}) {
          for (int incx : {1, 2, -1, -3}) {
            const int lda = n + 3;
            std::vector<double> a = RandomValues(rng, static_cast<std::size_t>(lda * n), 0.1);
            // Keep the diagonal away from zero so that the values stay finite.
            for (int j = 0; j < n; ++j) a[j * lda + j] = (j % 2 == 0 ? 1.0 : -1.0) * (1.5 + j);
            const std::vector<double> x0 = RandomValues(rng, StoredLength(n, incx), 0.25);

            std::vector<double> mine = x0;
            std::vector<double> reference = x0;
            RecorderMessages messages;
            ASSERT_EQ(STLE(messages, uplo, trans, diag, n, lda, incx, a.data(), mine.data()), 0);
            dtrsv_(&uplo, &trans, &diag, &n, a.data(), &lda, reference.data(), &incx, 1, 1, 1);

            EXPECT_EQ(Bits(mine), Bits(reference))
                << uplo << trans << diag << " n=" << n << " incx=" << incx;
            EXPECT_TRUE(messages.boxes.empty());
            ++cases;
          }
        }
      }
    }
  }
  EXPECT_EQ(cases, 192);
}

TEST(TriangularSolve, AcceptsLowerCaseOptions) {
  const int n = 3;
  const std::vector<double> a = {2, 1, 4, 0, 3, 5, 0, 0, 7};
  std::vector<double> lower = {1, 2, 3};
  std::vector<double> upper = lower;
  RecorderMessages messages;
  ASSERT_EQ(STLE(messages, 'l', 't', 'n', n, n, 1, a.data(), lower.data()), 0);
  ASSERT_EQ(STLE(messages, 'L', 'T', 'N', n, n, 1, a.data(), upper.data()), 0);
  EXPECT_EQ(Bits(lower), Bits(upper));
}

TEST(TriangularSolve, OrderZeroLeavesTheVectorAlone) {
  std::vector<double> x = {std::nan(""), 5.0, -0.0};
  const std::vector<std::uint64_t> before = Bits(x);
  RecorderMessages messages;
  EXPECT_EQ(STLE(messages, 'U', 'N', 'N', 0, 1, 1, nullptr, x.data()), 0);
  EXPECT_EQ(Bits(x), before);
  EXPECT_TRUE(messages.boxes.empty());
}

TEST(MultiplyAdd, MatchesReferenceBitForBit) {
  std::mt19937_64 rng(7);
  int cases = 0;
  for (char trans : {'N', 'T', 'C'}) {
    for (int m : {1, 3, 7}) {
      for (int n : {1, 4, 6}) {
        for (int incx : {1, 3, -1, -2}) {
          for (int incy : {1, 2, -1, -3}) {
            for (double alpha : {1.0, -1.0, 0.37, 0.0}) {
              for (double beta : {1.0, 0.0, -0.6}) {
                const int lda = m + 2;
                const int lenx = trans == 'N' ? n : m;
                const int leny = trans == 'N' ? m : n;
                const std::vector<double> a =
                    RandomValues(rng, static_cast<std::size_t>(lda * n), 0.1);
                const std::vector<double> x = RandomValues(rng, StoredLength(lenx, incx), 0.25);
                // No exact zeros in y: recent reference releases drop the skip of
                // zero x(j), which shows only as the sign of a zero in y (checked by
                // hand below).
                const std::vector<double> y0 = RandomValues(rng, StoredLength(leny, incy), 0.0);

                std::vector<double> mine = y0;
                std::vector<double> reference = y0;
                RecorderMessages messages;
                ASSERT_EQ(MVMA(messages, trans, m, n, lda, incx, incy, alpha, beta, a.data(),
                               x.data(), mine.data()),
                          0);
                dgemv_(&trans, &m, &n, &alpha, a.data(), &lda, x.data(), &incx, &beta,
                       reference.data(), &incy, 1);

                EXPECT_EQ(Bits(mine), Bits(reference))
                    << trans << " m=" << m << " n=" << n << " incx=" << incx << " incy=" << incy
                    << " alpha=" << alpha << " beta=" << beta;
                ++cases;
              }
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(cases, 5184);
}

TEST(MultiplyAdd, QuickReturnsLeaveTheResultAlone) {
  const std::vector<double> a = {1, 2, 3, 4};
  const std::vector<double> x = {1, 1};
  std::vector<double> y = {std::nan(""), -0.0};
  const std::vector<std::uint64_t> before = Bits(y);
  RecorderMessages messages;
  EXPECT_EQ(MVMA(messages, 'N', 2, 2, 2, 1, 1, 0.0, 1.0, a.data(), x.data(), y.data()), 0);
  EXPECT_EQ(MVMA(messages, 'T', 0, 2, 1, 1, 1, 2.0, 3.0, a.data(), x.data(), y.data()), 0);
  EXPECT_EQ(MVMA(messages, 'N', 2, 0, 2, 1, 1, 2.0, 3.0, a.data(), x.data(), y.data()), 0);
  EXPECT_EQ(Bits(y), before);
  EXPECT_TRUE(messages.boxes.empty());
}

TEST(MultiplyAdd, ZeroBetaClearsEvenNonFiniteValues) {
  const std::vector<double> a = {1, 2, 3, 4};
  const std::vector<double> x = {1, 1};
  std::vector<double> y = {std::nan(""), INFINITY};
  RecorderMessages messages;
  ASSERT_EQ(MVMA(messages, 'N', 2, 2, 2, 1, 1, 0.0, 0.0, a.data(), x.data(), y.data()), 0);
  EXPECT_EQ(Bits(y), Bits({0.0, 0.0}));
  // alpha 2, beta 0: y = 2 * (1 + 3, 2 + 4).
  ASSERT_EQ(MVMA(messages, 'N', 2, 2, 2, 1, 1, 2.0, 0.0, a.data(), x.data(), y.data()), 0);
  EXPECT_EQ(y, (std::vector<double>{8.0, 12.0}));
}

TEST(MultiplyAdd, ZeroMultiplierSkipsItsColumn) {
  // Column 2 holds non-finite values but x(2) = 0, so it never enters y; a zero
  // y scaled by a negative beta keeps its sign.
  const std::vector<double> a = {1.0, 2.0, INFINITY, NAN};
  const std::vector<double> x = {3.0, 0.0};
  std::vector<double> y = {1.0, 0.0};
  RecorderMessages messages;
  ASSERT_EQ(MVMA(messages, 'N', 2, 2, 2, 1, 1, 0.5, -1.0, a.data(), x.data(), y.data()), 0);
  EXPECT_EQ(Bits(y), Bits({0.5, 3.0}));  // -1 + 0.5 * 3 * 1, -0 + 0.5 * 3 * 2

  const std::vector<double> zeroX = {0.0, 0.0};
  y = {0.0, 4.0};
  ASSERT_EQ(MVMA(messages, 'N', 2, 2, 2, 1, 1, 1.0, -1.0, a.data(), zeroX.data(), y.data()), 0);
  EXPECT_EQ(Bits(y), Bits({-0.0, -4.0}));
}

// An invalid argument shows its number, computes nothing and returns the
// number instead of ending the program.
struct ArgumentCase {
  int expected;
  char option1;  // uplo (STLE) or trans (MVMA)
  char option2;  // trans (STLE)
  char option3;  // diag (STLE)
  int m;         // n (STLE) or m (MVMA)
  int n;         // MVMA only
  int lda;
  int incx;
  int incy;  // MVMA only
};

std::string ArgumentText(int number, const std::string& name) {
  return " Illegal value in parameter " + std::string(number < 10 ? " " : "") +
         std::to_string(number) + " on entry to " + name;
}

TEST(ArgumentChecks, TriangularSolveNamesTheFirstBadArgument) {
  const std::vector<ArgumentCase> cases = {
      {1, 'X', 'N', 'N', 2, 0, 2, 1, 0},  {2, 'U', 'Q', 'N', 2, 0, 2, 1, 0},
      {3, 'L', 'T', 'V', 2, 0, 2, 1, 0},  {4, 'U', 'N', 'U', -1, 0, 2, 1, 0},
      {5, 'U', 'N', 'N', 3, 0, 2, 1, 0},  {5, 'U', 'N', 'N', 0, 0, 0, 1, 0},
      {6, 'L', 'C', 'U', 2, 0, 2, 0, 0},  {1, 'X', 'Q', 'V', -1, 0, 0, 0, 0},
      {4, 'U', 'N', 'N', -1, 0, 0, 0, 0},
  };
  const std::vector<double> a = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (const ArgumentCase& c : cases) {
    std::vector<double> x = {1, 2, 3};
    RecorderMessages messages;
    EXPECT_EQ(
        STLE(messages, c.option1, c.option2, c.option3, c.m, c.lda, c.incx, a.data(), x.data()),
        c.expected);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0], ArgumentText(c.expected, "STLE"));
    EXPECT_EQ(messages.boxes[0].size(), 47u);
    if (c.expected == 1) {
      EXPECT_EQ(messages.boxes[0], " Illegal value in parameter  1 on entry to STLE");
    }
    EXPECT_EQ(x, (std::vector<double>{1, 2, 3}));
  }
}

TEST(ArgumentChecks, MultiplyAddNamesTheFirstBadArgument) {
  const std::vector<ArgumentCase> cases = {
      {1, 'U', 0, 0, 2, 2, 2, 1, 1},  {2, 'N', 0, 0, -1, 2, 2, 1, 1},
      {3, 'T', 0, 0, 2, -4, 2, 1, 1}, {4, 'C', 0, 0, 3, 2, 2, 1, 1},
      {4, 'N', 0, 0, 0, 2, 0, 1, 1},  {5, 'N', 0, 0, 2, 2, 2, 0, 1},
      {6, 'T', 0, 0, 2, 2, 2, -1, 0}, {2, 'N', 0, 0, -1, -1, 0, 0, 0},
  };
  const std::vector<double> a = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::vector<double> x = {1, 2, 3};
  for (const ArgumentCase& c : cases) {
    std::vector<double> y = {4, 5, 6};
    RecorderMessages messages;
    EXPECT_EQ(MVMA(messages, c.option1, c.m, c.n, c.lda, c.incx, c.incy, 1.0, 0.0, a.data(),
                   x.data(), y.data()),
              c.expected);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0], ArgumentText(c.expected, "MVMA"));
    EXPECT_EQ(y, (std::vector<double>{4, 5, 6}));
  }
}

}  // namespace
}  // namespace mornax
