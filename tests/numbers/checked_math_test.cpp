#include "numbers/checked_math.h"

#include <gtest/gtest.h>

#include <limits>

namespace meridel::numbers {
namespace {

ArithmeticErrorKind kindOf(auto operation) {
    try {
        operation();
    } catch (const ArithmeticError& error) {
        return error.kind;
    }
    ADD_FAILURE() << "no arithmetic error";
    return ArithmeticErrorKind::Undefined;
}

TEST(CheckedArithmetic, FailsOnDivisionByZeroOverflowAndUndefinedResults) {
    const double huge = std::numeric_limits<double>::max();
    EXPECT_EQ(kindOf([] { checked::div(1, 0); }), ArithmeticErrorKind::DivisionByZero);
    EXPECT_EQ(kindOf([] { checked::div(0, -0.0); }), ArithmeticErrorKind::DivisionByZero);
    EXPECT_EQ(kindOf([&] { checked::mul(huge, 2); }), ArithmeticErrorKind::Overflow);
    EXPECT_EQ(kindOf([&] { checked::add(huge, huge); }), ArithmeticErrorKind::Overflow);
    EXPECT_EQ(kindOf([&] { checked::div(huge, 0.5); }), ArithmeticErrorKind::Overflow);
    EXPECT_EQ(kindOf([] { checked::operand(std::numeric_limits<double>::quiet_NaN()); }),
              ArithmeticErrorKind::Undefined);
    EXPECT_EQ(checked::div(1, 3), 1.0 / 3.0);
    EXPECT_EQ(checked::mul(1e-300, 1e-300), 0.0);  // underflow is not a failure
}

TEST(CheckedArithmetic, RoundsHalfToEvenIntoThirtyTwoBits) {
    EXPECT_EQ(checked::toInt32(2.5), 2);
    EXPECT_EQ(checked::toInt32(3.5), 4);
    EXPECT_EQ(checked::toInt32(-2.5), -2);
    EXPECT_EQ(checked::toInt32(0.5), 0);
    EXPECT_EQ(checked::toInt32(-0.5), 0);
    EXPECT_EQ(checked::toInt32(0.500001), 1);
    EXPECT_EQ(checked::toInt32(2147483647.4), 2147483647);
    EXPECT_EQ(checked::toInt32(-2147483648.5), -2147483648);
    EXPECT_EQ(kindOf([] { checked::toInt32(2147483647.5); }), ArithmeticErrorKind::IntegerOverflow);
    EXPECT_EQ(kindOf([] { checked::toInt32(-2147483649.0); }),
              ArithmeticErrorKind::IntegerOverflow);
    EXPECT_EQ(kindOf([] { checked::toInt32(std::numeric_limits<double>::quiet_NaN()); }),
              ArithmeticErrorKind::IntegerOverflow);
}

TEST(CheckedArithmetic, SixteenBitAndIntegerAddition) {
    EXPECT_EQ(checked::toInt16(32767.4), 32767);
    EXPECT_EQ(checked::toInt16(-32768), -32768);
    EXPECT_EQ(kindOf([] { checked::toInt16(32767.5); }), ArithmeticErrorKind::IntegerOverflow);
    EXPECT_EQ(checked::addInt32(10, 0x40), 0x4A);
    EXPECT_EQ(kindOf([] { checked::addInt32(2147483647, 1); }),
              ArithmeticErrorKind::IntegerOverflow);
}

}  // namespace
}  // namespace meridel::numbers
