#include "numbers/decimal_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numbers/field_number.h"

namespace meridel::numbers {
namespace {

TEST(FieldDecimalText, Forms) {
    EXPECT_EQ(fieldDecimalText(12.8 * 16), " 204.8");
    EXPECT_EQ(fieldDecimalText(0.5), " .5");
    EXPECT_EQ(fieldDecimalText(-0.5), "-.5");
    EXPECT_EQ(fieldDecimalText(-25.2525), "-25.2525");
    EXPECT_EQ(fieldDecimalText(0), " 0");
    EXPECT_EQ(fieldDecimalText(-0.0), " 0");
    EXPECT_EQ(fieldDecimalText(200), " 200");
    EXPECT_EQ(fieldDecimalText(2), " 2");
    EXPECT_EQ(fieldDecimalText(-1), "-1");
    EXPECT_EQ(fieldDecimalText(50.505 - 1500 / 1e6), " 50.5035");
}

TEST(FieldDecimalText, RoundsToFifteenSignificantDigits) {
    EXPECT_EQ(fieldDecimalText(1296.5 / 9), " 144.055555555556");
    EXPECT_EQ(fieldDecimalText(0.1 + 0.2), " .3");
    EXPECT_EQ(fieldDecimalText(2.0 / 3.0), " .666666666666667");
    EXPECT_EQ(fieldDecimalText(123456789012345.0), " 123456789012345");
}

TEST(FieldDecimalText, ExponentFormOutsideOrdinaryMagnitudes) {
    EXPECT_EQ(fieldDecimalText(0.0001), " .0001");
    EXPECT_EQ(fieldDecimalText(0.00001), " 1E-05");
    EXPECT_EQ(fieldDecimalText(1e15), " 1E+15");
    EXPECT_EQ(fieldDecimalText(-1.5e20), "-1.5E+20");
    EXPECT_EQ(fieldDecimalText(1e308), " 1E+308");
    EXPECT_EQ(fieldDecimalText(999999999999999.9), " 1E+15");
    EXPECT_EQ(fieldDecimalText(std::numeric_limits<double>::infinity()), " Infinity");
}

TEST(FieldDecimalText, ReadsBackAsTheValueRoundedToFifteenDigits) {
    for (double v : {204.8, 1296.5 / 9, -25.2525, 1e-7, 3.14159265358979e200, 0.5, 7e-300}) {
        const double back = parseFieldNumber(fieldDecimalText(v));
        EXPECT_LE(std::fabs(back - v), 5e-15 * std::fabs(v)) << fieldDecimalText(v);
        EXPECT_EQ(fieldDecimalText(back), fieldDecimalText(v));
    }
}

TEST(OtherDecimalTexts, TrimmedAndPlain) {
    EXPECT_EQ(trimmedDecimalText(1500), "1500");
    EXPECT_EQ(trimmedDecimalText(1500.5), "1500.5");
    EXPECT_EQ(trimmedDecimalText(0.5), ".5");
    EXPECT_EQ(trimmedDecimalText(-20), "-20");
    EXPECT_EQ(plainDecimalText(50.0015), "50.0015");
    EXPECT_EQ(plainDecimalText(144.0015), "144.0015");
    EXPECT_EQ(plainDecimalText(-0.0015), "-0.0015");
    EXPECT_EQ(plainDecimalText(0), "0");
}

}  // namespace
}  // namespace meridel::numbers
