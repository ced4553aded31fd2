// Inversion, factorisation and solution of the dense systems, and the two
// messages of the dense routines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "bayes/bsolve.h"
#include "bayes/dense_messages.h"
#include "support/recorder_messages.h"

namespace mornax {
namespace {

using testing::RecorderMessages;

const std::string kLuduExit = "Abnormal Exit from Routine LUDU";
const std::string kAirmExit = "Abnormal Exit from Routine AIRM";

// Column-major matrix with leading dimension ld, filled with a sentinel so
// that writes outside the leading block show up.
struct Matrix {
  Matrix(int ld, int columns, double fill = -777.0)
      : ld(ld), values(static_cast<std::size_t>(ld * columns), fill) {}
  double& operator()(int i, int j) { return values[(j - 1) * ld + (i - 1)]; }  // 1-based
  double* data() { return values.data(); }
  int ld;
  std::vector<double> values;
};

Matrix FromRows(int ld, const std::vector<std::vector<double>>& rows) {
  Matrix m(ld, static_cast<int>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = 0; j < rows[i].size(); ++j) {
      m(static_cast<int>(i + 1), static_cast<int>(j + 1)) = rows[i][j];
    }
  }
  return m;
}

TEST(Messages, AbnormalExitAndIllegalArgumentTexts) {
  RecorderMessages messages;
  EXPECT_EQ(ErrorExit(messages, 0, "AIRM"), 0);
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_EQ(ErrorExit(messages, 1, "LUDU"), 1);
  EXPECT_EQ(ErrorExit(messages, 3, "AIRM"), 3);
  ArgumentError(messages, "STLE", 1);
  ArgumentError(messages, "MVMA", 12);
  ArgumentError(messages, "MVMA", 123);
  ASSERT_EQ(messages.boxes.size(), 5u);
  EXPECT_EQ(messages.boxes[0], kLuduExit);
  EXPECT_EQ(messages.boxes[0].size(), 31u);
  EXPECT_EQ(messages.boxes[1], kAirmExit);
  EXPECT_EQ(messages.boxes[2], " Illegal value in parameter  1 on entry to STLE");
  EXPECT_EQ(messages.boxes[2].size(), 47u);
  EXPECT_EQ(messages.boxes[3], " Illegal value in parameter 12 on entry to MVMA");
  EXPECT_EQ(messages.boxes[4], " Illegal value in parameter ** on entry to MVMA");
}

TEST(Inversion, IdentityKeepsEveryRowInPlace) {
  const int n = 4;
  Matrix a(6, n, 0.0);
  for (int k = 1; k <= n; ++k) a(k, k) = 1.0;
  const Matrix original = a;
  Matrix b(5, n);
  std::vector<double> wk(n, -1.0);
  RecorderMessages messages;

  ASSERT_EQ(AIRM(messages, n, a.ld, b.ld, a.data(), b.data(), wk.data()), 0);
  EXPECT_EQ(wk, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(a.values, original.values);  // the factors of I are I
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= n; ++i) EXPECT_EQ(b(i, j), i == j ? 1.0 : 0.0);
    EXPECT_EQ(b(5, j), -777.0);  // below the leading block: untouched
  }
  EXPECT_TRUE(messages.boxes.empty());
}

TEST(Inversion, OneByOne) {
  RecorderMessages messages;
  double a = 4.0, b = 0.0, wk = 0.0;
  ASSERT_EQ(AIRM(messages, 1, 1, 1, &a, &b, &wk), 0);
  EXPECT_EQ(b, 0.25);
  EXPECT_EQ(wk, 1.0);

  // A zero row fails before any factorisation: A stays, B is the identity.
  a = 0.0;
  EXPECT_EQ(AIRM(messages, 1, 1, 1, &a, &b, &wk), 1);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(b, 1.0);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{kLuduExit, kAirmExit}));
}

TEST(Inversion, ScaledPivotingPicksTheDominantRow) {
  // Row 1 (1e-20, 1) scales to about 1e-20 in column 1, row 2 (1, 1) to 0.707.
  Matrix a = FromRows(2, {{1e-20, 1.0}, {1.0, 1.0}});
  Matrix b(2, 2);
  std::vector<double> wk(2);
  RecorderMessages messages;
  ASSERT_EQ(AIRM(messages, 2, 2, 2, a.data(), b.data(), wk.data()), 0);
  EXPECT_EQ(wk, (std::vector<double>{2, 2}));
  // After the exchange: L = (1, 1e-20; ., 1 - 1e-20 * 1), U(1, 2) = 1.
  EXPECT_EQ(a.values, (std::vector<double>{1.0, 1e-20, 1.0, 1.0}));
  // The inverse is (1, -1; -1, 1e-20) / (1e-20 - 1).
  EXPECT_DOUBLE_EQ(b(1, 1), -1.0);
  EXPECT_DOUBLE_EQ(b(1, 2), 1.0);
  EXPECT_DOUBLE_EQ(b(2, 1), 1.0);
  EXPECT_NEAR(b(2, 2), -1e-20, 1e-34);
}

TEST(Inversion, EqualScaledCandidatesKeepTheFirstRow) {
  // Both rows scale to 1 / sqrt(2) in column 1: no exchange.
  Matrix a = FromRows(2, {{1.0, 1.0}, {1.0, -1.0}});
  Matrix b(2, 2);
  std::vector<double> wk(2);
  RecorderMessages messages;
  ASSERT_EQ(AIRM(messages, 2, 2, 2, a.data(), b.data(), wk.data()), 0);
  EXPECT_EQ(wk, (std::vector<double>{1, 2}));
  EXPECT_EQ(a.values, (std::vector<double>{1.0, 1.0, 1.0, -2.0}));
  EXPECT_EQ(b.values, (std::vector<double>{0.5, 0.5, 0.5, -0.5}));
}

TEST(Inversion, EqualRowsFailWithBothMessagesInOrder) {
  Matrix a = FromRows(3, {{1.0, 2.0}, {1.0, 2.0}});
  Matrix b(2, 2);
  std::vector<double> wk(2);
  RecorderMessages messages;
  EXPECT_EQ(AIRM(messages, 2, 3, 2, a.data(), b.data(), wk.data()), 1);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{kLuduExit, kAirmExit}));
  EXPECT_EQ(b.values, (std::vector<double>{1.0, 0.0, 0.0, 1.0}));
}

TEST(Inversion, CovarianceMatrixOfEightPoints) {
  // Exponential covariance 2 exp(-h / 30) of scattered points, stored with a
  // leading dimension larger than the order as in the estimator's arrays.
  const int n = 8, ld = 11;
  const double x[n] = {0, 12.5, 40, 7, 33, 21, 50, 3};
  const double y[n] = {0, 4, 18, 31, 9, 25, 44, 15};
  Matrix cs(ld, n, 0.0);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      cs(i, j) = 2.0 * std::exp(-std::hypot(x[i - 1] - x[j - 1], y[i - 1] - y[j - 1]) / 30.0);
    }
  }
  Matrix a = cs;
  Matrix ci(ld, n);
  std::vector<double> wk(ld, 0.0);
  RecorderMessages messages;
  ASSERT_EQ(AIRM(messages, n, ld, ld, a.data(), ci.data(), wk.data()), 0);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      double sum = 0.0;
      for (int k = 1; k <= n; ++k) sum += ci(i, k) * cs(k, j);
      EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-12) << i << "," << j;
    }
  }
  for (int k = 1; k <= n; ++k) {
    EXPECT_GE(wk[k - 1], k);  // a later (or the same) row is exchanged in
    EXPECT_LE(wk[k - 1], n);
  }
  for (int j = 1; j <= n; ++j) EXPECT_EQ(ci(ld, j), -777.0);
}

TEST(Factorisation, PivotMustReachEightTimesTheTolerance) {
  RecorderMessages messages;
  double a = 4.0, wk = 0.0;  // scaled candidate |4| / 4 = 1
  EXPECT_EQ(LUDU(messages, 1, 1, 0.125, &a, &wk), 0);
  a = 4.0;
  EXPECT_EQ(LUDU(messages, 1, 1, 0.125000001, &a, &wk), 1);
  EXPECT_EQ(wk, 1.0);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{kLuduExit}));
}

TEST(Factorisation, ZeroRowStopsBeforeChangingTheMatrix) {
  Matrix a = FromRows(3, {{4.0, 1.0, 2.0}, {0.0, 0.0, 0.0}, {1.0, 5.0, 3.0}});
  const Matrix original = a;
  std::vector<double> wk(3);
  RecorderMessages messages;
  EXPECT_EQ(LUDU(messages, 3, 3, 2.5e-16, a.data(), wk.data()), 1);
  EXPECT_EQ(a.values, original.values);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{kLuduExit}));
}

TEST(Solution, SeveralRightHandSides) {
  // A X = B with X = (1, 2; -1, 0; 3, 1), B computed by hand.
  Matrix a = FromRows(4, {{2, 1, 0}, {1, 3, 1}, {0, 1, 4}});
  Matrix b = FromRows(5, {{1, 4}, {1, 3}, {11, 4}});
  std::vector<double> wk(3);
  RecorderMessages messages;
  ASSERT_EQ(LUDU(messages, 3, a.ld, 2.5e-16, a.data(), wk.data()), 0);
  ASSERT_EQ(LUSolve(messages, 3, a.ld, b.ld, 2, a.data(), b.data(), wk.data()), 0);
  const double expected[3][2] = {{1, 2}, {-1, 0}, {3, 1}};
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 2; ++j) EXPECT_NEAR(b(i, j), expected[i - 1][j - 1], 1e-14);
  }
  EXPECT_TRUE(messages.boxes.empty());
}

TEST(ContractGuards, BadSizesReportAndEndTheCallWithoutWriting) {
  Matrix a = FromRows(2, {{1, 2}, {3, 4}});
  const Matrix original = a;
  Matrix b(2, 2);
  std::vector<double> wk(3, 9.0);

  RecorderMessages messages;
  EXPECT_EQ(AIRM(messages, 3, 2, 3, a.data(), b.data(), wk.data()), 1);
  EXPECT_EQ(AIRM(messages, 2, 2, 1, a.data(), b.data(), wk.data()), 1);
  EXPECT_EQ(AIRM(messages, -1, 2, 2, a.data(), b.data(), wk.data()), 1);
  EXPECT_EQ(LUDU(messages, 2, 1, 2.5e-16, a.data(), wk.data()), 1);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{
                                " Illegal value in parameter  2 on entry to AIRM",
                                " Illegal value in parameter  3 on entry to AIRM",
                                " Illegal value in parameter  1 on entry to AIRM",
                                " Illegal value in parameter  2 on entry to LUDU",
                            }));
  EXPECT_EQ(a.values, original.values);
  EXPECT_EQ(b.values, Matrix(2, 2).values);
  EXPECT_EQ(wk, (std::vector<double>{9, 9, 9}));
}

TEST(ContractGuards, PivotRecordOutsideTheMatrixIsRefused) {
  Matrix a = FromRows(2, {{2, 0}, {0, 2}});
  Matrix b = FromRows(2, {{1, 0}, {0, 1}});
  const Matrix original = b;
  RecorderMessages messages;
  for (const std::vector<double>& wk :
       {std::vector<double>{3, 2}, std::vector<double>{1, 0.4}, std::vector<double>{NAN, 2}}) {
    EXPECT_EQ(LUSolve(messages, 2, 2, 2, 2, a.data(), b.data(), wk.data()), 1);
    EXPECT_EQ(b.values, original.values);
  }
  // A record within half a row of an index is read as that index.
  const std::vector<double> nearly = {1.6, 2.4};
  ASSERT_EQ(LUSolve(messages, 2, 2, 2, 2, a.data(), b.data(), nearly.data()), 0);
  EXPECT_EQ(b.values, (std::vector<double>{0, 0.5, 0.5, 0}));
  EXPECT_TRUE(messages.boxes.empty());
}

}  // namespace
}  // namespace mornax
