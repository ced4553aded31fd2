// Record formats against the records GNU Fortran writes for the same format
// and values; every expected text below was printed by a gfortran program.
#include "io/fortran_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace mornax::io {
namespace {

struct RealCase {
  const char* format;
  double value;
  const char* expected;  // the record without its line end
};

struct IntegerCase {
  const char* format;
  std::int64_t value;
  const char* expected;
};

template <typename Case>
void ExpectFields(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(FortranFormat(c.format)(c.value), std::string(c.expected) + "\n")
        << c.format << " of " << c.value;
  }
}

TEST(FixedEditing, RoundsTheExactBinaryValueAndPlacesTheLeadingZero) {
  ExpectFields<RealCase>({
      {"(F8.2)", 0.5, "    0.50"},
      {"(F4.2)", 0.5, "0.50"},
      {"(F4.2)", -0.5, "-.50"},    // no room for the 0
      {"(F5.2)", 0.125, " 0.12"},  // exact tie: to even
      {"(F5.2)", 0.375, " 0.38"},
      {"(F3.0)", 2.5, " 2."},
      {"(F3.0)", 3.5, " 4."},
      {"(F3.0)", 0.3, " 0."},
      {"(F8.0)", 45.0, "     45."},
      {"(F15.1)", 1000.25, "         1000.2"},
      {"(F15.1)", 2000.75, "         2000.8"},
      {"(F11.2)", 3.335, "       3.33"},  // 3.335 is stored below the tie
      {"(F25.2)", 1e20, " 100000000000000000000.00"},
      {"(F12.3)", 1e-300, "       0.000"},
  });
}

TEST(FixedEditing, KeepsTheSignOfNegativeValuesThatRoundToZero) {
  ExpectFields<RealCase>({
      {"(F5.2)", -0.001, "-0.00"},
      {"(F5.2)", -0.0, "-0.00"},
      {"(F15.5)", -0.000004, "       -0.00000"},
  });
}

TEST(FixedEditing, WritesAsterisksWhenTheValueDoesNotFit) {
  ExpectFields<RealCase>({
      {"(F2.0)", -0.3, "**"},
      {"(F6.2)", 999.995, "******"},
      {"(F6.2)", 1000.0, "******"},
      {"(F6.2)", -99.99, "-99.99"},
      {"(F7.2)", -999.999, "*******"},
      {"(f5.2)", 100.0, "*****"},
      {"(F11.2)", 1e9, "***********"},
  });
}

TEST(FixedEditing, ScaleFactorMultipliesByAPowerOfTen) {
  EXPECT_EQ(FortranFormat("(1P,F10.3)")(1.5), "    15.000\n");
  EXPECT_EQ(FortranFormat("(-1P,F8.2,E12.4)")(1.5, 2.5), "    0.15  0.0250E+02\n");
}

TEST(ExponentEditing, MantissaBelowOneWithOptionalZero) {
  ExpectFields<RealCase>({
      {"(E11.5)", -123.456, "-.12346E+03"},
      {"(E12.5)", -123.456, "-0.12346E+03"},
      {"(E10.5)", -123.456, "**********"},
      {"(E11.5)", 1234.5678, "0.12346E+04"},
      {"(E11.5)", 0.0, "0.00000E+00"},
      {"(E11.5)", -0.0, "-.00000E+00"},
      {"(E10.3)", 0.99995, " 0.100E+01"},
      {"(E15.6)", 0.05, "   0.500000E-01"},
      {"(E14.5)", 2.5e-5, "   0.25000E-04"},
  });
}

TEST(ExponentEditing, ThreeDigitExponentsDropTheLetter) {
  ExpectFields<RealCase>({
      {"(E11.5)", 1e100, "0.10000+101"},
      {"(E11.5)", 1e-100, "0.10000E-99"},
      {"(E12.4)", 1e308, "  0.1000+309"},
      {"(E9.2)", 1e-310, " 0.10-309"},  // subnormal
  });
}

TEST(ExponentEditing, ExplicitExponentDigits) {
  ExpectFields<RealCase>({
      {"(E12.4E3)", 1.5e5, " 0.1500E+006"},
      {"(E12.4E1)", 1.5e5, "   0.1500E+6"},
      {"(E12.4E1)", 1.5e10, "************"},
      {"(E12.4E3)", 1.5e-300, " 0.1500E-299"},
  });
}

TEST(ExponentEditing, OnePScaleFactorPutsOneDigitBeforeThePoint) {
  ExpectFields<RealCase>({
      {"(1PE10.3)", 123.456, " 1.235E+02"},
      {"(1PE10.3)", -123.456, "-1.235E+02"},
      {"(1PE9.3)", -123.456, "*********"},
      {"(1PE10.3)", 9.9996, " 1.000E+01"},
      {"(1PE10.3)", 0.0, " 0.000E+00"},
      {"(1PE10.3)", 1e100, " 1.000+100"},
      {"(2P,E12.3)", 0.5, "   50.00E-02"},
  });
  // The scale factor stays in force for the fields after it and across
  // reversion, but does not reach back to the fields before it.
  EXPECT_EQ(FortranFormat("(F8.2,1P,E10.3)")(1.5, 2.5, 3.5, 4.5),
            "    1.50 2.500E+00\n   35.00 4.500E+00\n");
}

TEST(GeneralEditing, FixedFormBetweenTenthAndTenToTheDigits) {
  ExpectFields<RealCase>({
      {"(G10.5)", 0.0, "0.0000    "},
      {"(G10.5)", -0.0, "-.0000    "},
      {"(G10.5)", 0.5, ".50000    "},
      {"(G11.5)", 0.5, "0.50000    "},
      {"(G10.5)", -0.5, "**********"},  // the fixed part overflows
      {"(G11.5)", -0.5, "-.50000    "},
      {"(G10.5)", 0.1, ".10000    "},
      {"(G10.5)", 1.234567, "1.2346    "},
      {"(G10.5)", 12345.67, "12346.    "},
      {"(G10.5)", 37.5, "37.500    "},
      {"(G16.8)", 3.14159265358979, "   3.1415927    "},
      {"(G12.4E3)", 12.5, "  12.50     "},  // Ee: e+2 trailing blanks
  });
}

TEST(GeneralEditing, SwitchesToExponentFormAtTheRoundedBounds) {
  ExpectFields<RealCase>({
      {"(G10.5)", 0.099999, ".99999E-01"},
      {"(G10.5)", 0.0999995, ".10000    "},  // rounds up to 0.1
      {"(G10.5)", 99999.4, "99999.    "},
      {"(G10.5)", 99999.5, ".10000E+06"},  // rounds up to 10^5
      {"(G10.5)", 1e10, ".10000E+11"},
      {"(G10.5)", -1e10, "**********"},
      {"(G11.5)", -1e10, "-.10000E+11"},
      {"(G10.5)", 0.00123, ".12300E-02"},
      {"(G15.8)", 0.0123456789, " 0.12345679E-01"},
      {"(G12.4E3)", 1.25e-7, " 0.1250E-006"},
      // The bounds are computed in double precision: 0.95 is stored just
      // below 0.95 but compares equal to the computed bound.
      {"(G12.1)", 0.95, "      1.    "},
      {"(G12.1)", 0.94, "     0.9    "},
  });
}

TEST(GeneralEditing, ScaleFactorAppliesOnlyToTheExponentForm) {
  EXPECT_EQ(FortranFormat("(1P,G12.4)")(12.5), "   12.50    \n");
  EXPECT_EQ(FortranFormat("(1P,G12.4)")(1.25e-7), "  1.2500E-07\n");
}

TEST(RealEditing, InfinityAndNaNFillTheFieldWithAsterisks) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ExpectFields<RealCase>({
      {"(F2.1)", inf, "**"},
      {"(F8.1)", inf, "********"},
      {"(F9.1)", -inf, "*********"},
      {"(E12.4)", inf, "************"},
      {"(1P,E15.5)", -inf, "***************"},
      {"(G12.4)", -inf, "************"},
      {"(F3.1)", nan, "***"},
      {"(E10.3)", nan, "**********"},
      {"(G10.3)", -nan, "**********"},
  });
}

TEST(IntegerEditing, RightAlignedWithMinimumDigitsAndOverflow) {
  ExpectFields<IntegerCase>({
      {"(I5)", 42, "   42"},
      {"(I5)", -42, "  -42"},
      {"(I3)", 1000, "***"},
      {"(I3)", -100, "***"},
      {"(I1)", 0, "0"},
      {"(I20)", std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
      {"(I5.3)", -7, " -007"},
      {"(I4.0)", 0, "    "},
      {"(I3.3)", -7, "***"},
  });
}

TEST(TextEditing, WidthTruncatesOrRightAligns) {
  EXPECT_EQ(FortranFormat("(A)")("text"), "text\n");
  EXPECT_EQ(FortranFormat("(a5)")("ab"), "   ab\n");
  EXPECT_EQ(FortranFormat("(a5)")("abcdefg"), "abcde\n");
  EXPECT_EQ(FortranFormat("(1X,a5,a)")("  Spherical ", ":"), "   Sph:\n");
  EXPECT_EQ(FortranFormat("(1x,a,i4,a1,i4)")("x", 12, "/.", 3456), " x  12/3456\n");
  EXPECT_EQ(FortranFormat("(2x,a)")(""), "  \n");
  std::string title = " Semi-Variogram: Site one";
  title.resize(72, ' ');
  EXPECT_EQ(FortranFormat("(A76)")(title), "    " + title + "\n");
}

TEST(Literals, QuotesCaseAndBlanks) {
  EXPECT_EQ(FortranFormat("(a, 3x, 'it''s', 2x)")("q"), "q   it's\n");
  EXPECT_EQ(FortranFormat("(a,\"d\"\"q\")")("x"), "xd\"q\n");
  EXPECT_EQ(FortranFormat("( 1 X , i 5 , F 8 . 2 )")(3, 2.5), "     3    2.50\n");
  EXPECT_EQ(FortranFormat("(1x,'Text With CASE')")(), " Text With CASE\n");
  EXPECT_EQ(FortranFormat("(60('-'))")(), std::string(60, '-') + "\n");
}

TEST(FormatControl, RecordEnds) {
  EXPECT_EQ(FortranFormat("(10X,' Degree = ',I5,/,/)")(2), "           Degree =     2\n\n\n");
  EXPECT_EQ(FortranFormat("(/3x,a)")("LAG"), "\n   LAG\n");
  EXPECT_EQ(FortranFormat("(2/,i2)")(1), "\n\n 1\n");
  EXPECT_EQ(FortranFormat("(i2,/)")(1, 2), " 1\n\n 2\n\n");
  EXPECT_EQ(FortranFormat("(2(/5x,a,F8.1,a))")("DIRECTION TOLERANCE = ", 22.5, " degrees",
                                               "STEP SIZE = ", 100.0, " meters"),
            "\n     DIRECTION TOLERANCE =     22.5 degrees\n"
            "     STEP SIZE =    100.0 meters\n");
}

TEST(FormatControl, BlanksOfXOnlyBeforeFurtherOutput) {
  EXPECT_EQ(FortranFormat("(a,5x)")("ab"), "ab\n");
  EXPECT_EQ(FortranFormat("(i3,5x,/,i3)")(1, 2), "  1\n  2\n");
  EXPECT_EQ(FortranFormat("(3I5,A,33X,A,12X,A)")(0, 25, 0, " ;", "STD", "X"),
            "    0   25    0 ;" + std::string(33, ' ') + "STD" + std::string(12, ' ') + "X\n");
}

TEST(FormatControl, StopsAtTheFirstDataFieldWithoutAValue) {
  EXPECT_EQ(FortranFormat("(1x,i5)")(), "\n");
  EXPECT_EQ(FortranFormat("('a',i2)")(), "a\n");
  EXPECT_EQ(FortranFormat("(i2,'b')")(1), " 1b\n");
  EXPECT_EQ(FortranFormat("(i2,'b',i2,'c')")(1), " 1b\n");
  EXPECT_EQ(FortranFormat("(a,:,'x',i3)")("q"), "q\n");
  EXPECT_EQ(FortranFormat("(2(a,g10.5),a,f5.2,a)")("MD=", 0.00123, " MSE="),
            "MD=.12300E-02 MSE=\n");
}

TEST(FormatControl, ReversionStartsNewRecordsFromTheLastOuterGroup) {
  EXPECT_EQ(FortranFormat("(1P,E15.3)")(1.5, -2.25e-3, 0.0),
            "      1.500E+00\n     -2.250E-03\n      0.000E+00\n");
  EXPECT_EQ(FortranFormat("(2F15.4)")(1.0, 0.5, 2.0, 0.25, 3.0),
            "         1.0000         0.5000\n         2.0000         0.2500\n"
            "         3.0000\n");
  EXPECT_EQ(FortranFormat("(I3,2(I2,'|'),'e')")(1, 2, 3, 4, 5, 6, 7),
            "  1 2| 3|e\n 4| 5|e\n 6| 7|e\n");
  EXPECT_EQ(FortranFormat("(2(I2,3(I1)))")(1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2), " 1234 5678\n 912\n");
  EXPECT_EQ(
      FortranFormat("(1X,a5,a,3(1x,A,A,g10.5))")("  Spherical ", ":", "SILL ", "=", 10.5, "RANGE",
                                                 "=", 250.0, " C0  ", "=", 0.0, "A", "=", 2.0),
      "   Sph: SILL =10.500     RANGE=250.00      C0  =0.0000    \n A=2.0000    \n");
}

TEST(FormatControl, ValuesBeyondAFormatWithoutDataFieldsAreDropped) {
  EXPECT_EQ(FortranFormat("('x')")(1, 2), "x\n");
  EXPECT_EQ(FortranFormat("(I2,2('-'))")(1, 2, 3), " 1--\n");
}

TEST(FormatControl, RenderAppendsToTheCallersText) {
  const FortranFormat format("(3F15.5,I5)");
  const FortranValue values[] = {1234.5, -0.000004, 98.7654321, std::int64_t{7}};
  std::string out = "kept\n";
  format.Render(values, out);
  format.Render(values, out);
  const std::string record = "     1234.50000       -0.00000       98.76543    7\n";
  EXPECT_EQ(out, "kept\n" + record + record);
}

TEST(ValueKinds, IntegersAndRealsStandInForEachOtherOnlyWithoutLoss) {
  EXPECT_EQ(FortranFormat("(F6.2)")(3), "  3.00\n");
  EXPECT_EQ(FortranFormat("(I4)")(12.0), "  12\n");
  EXPECT_EQ(FortranFormat("(I4)")(12.5), "****\n");
  EXPECT_EQ(FortranFormat("(I4)")(std::nan("")), "****\n");
  EXPECT_EQ(FortranFormat("(F6.2)")("text"), "******\n");
  EXPECT_EQ(FortranFormat("(A3)")(1.5), "***\n");
  // G edits an integer as I and a text as A, as Fortran does.
  EXPECT_EQ(FortranFormat("(G6.3)")(42), "    42\n");
  EXPECT_EQ(FortranFormat("(G6.3)")("ab"), "    ab\n");
}

TEST(FormatParsing, RejectsFormatsItCannotRender) {
  for (const char* bad : {"I5", "(I5", "(I5))", "(Q5)", "(I0)", "(F8)", "(E10)", "('open)",
                          "(0(I2))", "(P,E10.3)", "(-2X)", "(1x,a,i5"}) {
    EXPECT_THROW(FortranFormat{bad}, std::invalid_argument) << bad;
  }
  EXPECT_THROW(FortranFormat("(1000(1000(I2)))"), std::invalid_argument);
}

TEST(FreeForm, TextAndIntegers) {
  EXPECT_EQ(FreeFormText("text here"), " text here");
  EXPECT_EQ(FreeFormText(""), " ");
  EXPECT_EQ(FreeFormInteger(7), "           7");
  EXPECT_EQ(FreeFormInteger(-2147483647), " -2147483647");
  EXPECT_EQ(FreeFormInteger(-9223372036854775807), " -9223372036854775807");
}

}  // namespace
}  // namespace mornax::io
