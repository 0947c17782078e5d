// The decimal numbers of the plug-in's texts (the settings file, the panel's fields, the adjust
// record): read as far as they go, as strtod reads them in the C locale, but never hexadecimal, inf
// or nan.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "shell/decimal_text.h"

namespace {

TEST(DecimalText, NumbersAreReadAsFarAsTheyGo) {
    const auto read = [](const char* text) { return ReadDecimalNumber(text, text + std::strlen(text)); };
    EXPECT_EQ(read("  12.5e1x"), 125);
    EXPECT_EQ(read("-.5"), -0.5);
    EXPECT_EQ(read("+3."), 3);
    EXPECT_EQ(read("7e"), 7) << "an exponent needs a digit";
    EXPECT_EQ(read("7e-"), 7);
    EXPECT_EQ(read("abc"), 0);
    EXPECT_EQ(read(""), 0);
    EXPECT_EQ(read("."), 0);
    EXPECT_EQ(read("0x10"), 0) << "no hexadecimal";
    EXPECT_EQ(read("inf"), 0);
    EXPECT_EQ(read("nan"), 0);
    EXPECT_TRUE(std::isinf(read("1e400")));
    EXPECT_TRUE(std::isinf(read("-123456e99999")));
    EXPECT_EQ(read("1e-400"), 0);
    EXPECT_EQ(read("0.000001e-400"), 0);
    EXPECT_EQ(read("1.5"), 1.5);
    // A zero-ended text reads as a bounded range does.
    EXPECT_EQ(ReadDecimalNumber(" -2.5e2mm"), -250);
    EXPECT_EQ(ReadDecimalNumber(nullptr), 0);
    const char* text = "12,34";
    EXPECT_EQ(ReadDecimalNumber(text, text + 1), 1) << "the range ends the number";
}

}  // namespace
