#include "console/number_form.hpp"

#include <gtest/gtest.h>

namespace console {
namespace {

struct NumberCase {
  long double value;
  const char* text;
};

TEST(NumberForm, SignPositionDigitsAndOneTrailingBlank) {
  const NumberCase cases[] = {
      {15, " 15 "},
      {0, " 0 "},
      {-5, "-5 "},
      {150, " 150 "},
      {1.5L, " 1.5 "},
      {0.5L, " .5 "},
      {12345678, " 1.234568E+7 "},
      {7, " 7 "},
      {-32768, "-32768 "},
      {32767, " 32767 "},
      {-3, "-3 "},
      {40, " 40 "},
      {1000000, " 1000000 "},
      {9999999, " 9999999 "},
      {10000000, " 1E+7 "},
      {0.001L, " .001 "},
      {0.0000001L, " .0000001 "},
      {0.00000001L, " 1E-8 "},
      {0.000000012L, " 1.2E-8 "},
      {0.000001L, " .000001 "},
      {-0.25L, "-.25 "},
      {123.456L, " 123.456 "},
  };
  for (const NumberCase& c : cases) EXPECT_EQ(number_form(c.value), c.text) << static_cast<double>(c.value);
}

TEST(NumberForm, TheEighthDigitRoundsHalvesToEven) {
  const NumberCase cases[] = {
      {12345675, " 1.234568E+7 "},                                                     // kept 7 is odd: up
      {12345665, " 1.234566E+7 "},                                                     // kept 6 is even: down
      {12345664, " 1.234566E+7 "}, {12345666, " 1.234567E+7 "}, {99999995, " 1E+8 "},  // carry through every digit
      {9999999.5L, " 1E+7 "},                            // carry gives one more digit in front of the point
      {1.23456789L, " 1.234568 "}, {2.0000001L, " 2 "},  // trailing zeros dropped
  };
  for (const NumberCase& c : cases) EXPECT_EQ(number_form(c.value), c.text) << static_cast<double>(c.value);
}

TEST(NumberForm, FewerDigitsWhenAsked) {
  EXPECT_EQ(number_form(123456, 3), " 1.23E+5 ");
  EXPECT_EQ(number_form(123, 3), " 123 ");
}

TEST(NumberForm, EverySixteenBitCountTakesTheIntegerForm) {
  for (int value = -32768; value <= 32767; value += 1) {
    const std::string text = number_form(value);
    const std::string expected = (value < 0 ? "" : " ") + std::to_string(value) + " ";
    ASSERT_EQ(text, expected);
  }
}

}  // namespace
}  // namespace console
