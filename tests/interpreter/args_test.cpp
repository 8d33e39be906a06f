#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "interpreter/args.h"
#include "interpreter/conversion_log.h"

namespace tsl {
namespace {

struct Parsed {
  int n;
  Arg a[8];
  std::string log;
};

Parsed Parse(const char* text, int max = 8) {
  Parsed p{};
  ConversionLog log;
  log.CaptureTo(&p.log);
  p.n = GetArgs(text, p.a, max, 0x1f, &log);
  return p;
}

TEST(GetArgs, SeparatorsAndEmptyFieldsMakeNoParameters) {
  for (const char* text : {"PA10,20", "PA10 , 20", "PA10,,20", "PA 10 20", "PA10,20,"}) {
    Parsed p = Parse(text);
    ASSERT_EQ(p.n, 2) << text;
    EXPECT_EQ(p.a[0].l, 10);
    EXPECT_DOUBLE_EQ(p.a[0].d, 10.0);
    EXPECT_EQ(p.a[1].l, 20);
    EXPECT_TRUE(p.log.empty()) << text;
  }
}

// Plotters and other readers take a sign after a number as the start of
// the next one; skipping it as a separator would mirror the point.
TEST(GetArgs, ASignAfterANumberStartsTheNextOne) {
  Parsed p = Parse("PA10-20+30-.5,-7.25-1e2-4");
  ASSERT_EQ(p.n, 7);
  EXPECT_EQ(p.a[0].l, 10);
  EXPECT_EQ(p.a[1].l, -20);
  EXPECT_DOUBLE_EQ(p.a[1].d, -20.0);
  EXPECT_EQ(p.a[2].l, 30);
  EXPECT_DOUBLE_EQ(p.a[3].d, -0.5);
  EXPECT_DOUBLE_EQ(p.a[4].d, -7.25);
  EXPECT_DOUBLE_EQ(p.a[5].d, -1e2);
  EXPECT_EQ(p.a[6].l, -4);
  // The exponent's own sign stays inside the number; the one after it starts the next.
  Parsed e = Parse("DI1e-2-3");
  ASSERT_EQ(e.n, 2);
  EXPECT_DOUBLE_EQ(e.a[0].d, 0.01);
  EXPECT_EQ(e.a[1].l, -3);
  // A sign with no digits after it is still one skipped character.
  Parsed lone = Parse("PA5-,6");
  ASSERT_EQ(lone.n, 2);
  EXPECT_EQ(lone.a[1].l, 6);
  // Too many: the count still stops at the maximum.
  EXPECT_EQ(Parse("PA1-2-3-4", 3).n, 3);
}

TEST(GetArgs, IntegerFormStopsAtTheDecimalPoint) {
  Parsed p = Parse("PA-5.5,12.7,-0.5,+3,.25");
  ASSERT_EQ(p.n, 5);
  EXPECT_EQ(p.a[0].l, -5);
  EXPECT_DOUBLE_EQ(p.a[0].d, -5.5);
  EXPECT_EQ(p.a[1].l, 12);
  EXPECT_EQ(p.a[2].l, 0);
  EXPECT_DOUBLE_EQ(p.a[2].d, -0.5);
  EXPECT_EQ(p.a[3].l, 3);
  EXPECT_EQ(p.a[4].l, 0);
  EXPECT_DOUBLE_EQ(p.a[4].d, 0.25);
}

TEST(GetArgs, NonNumericCharactersAreSkippedOneAtATime) {
  Parsed p = Parse("PA#1-,--2");
  ASSERT_EQ(p.n, 2);
  EXPECT_EQ(p.a[0].l, 1);
  EXPECT_EQ(p.a[1].l, -2);
  EXPECT_EQ(Parse("PA").n, 0);
  EXPECT_EQ(Parse("P").n, 0);
  EXPECT_EQ(Parse("").n, 0);
}

TEST(GetArgs, ExponentsScaleTheNumber) {
  Parsed p = Parse("DI4.48966e-09,1E2,-2.5e+1,7e");
  ASSERT_EQ(p.n, 4);
  EXPECT_DOUBLE_EQ(p.a[0].d, 4.48966e-09);
  EXPECT_EQ(p.a[0].l, 0);
  EXPECT_EQ(p.a[1].l, 100);
  EXPECT_EQ(p.a[2].l, -25);
  EXPECT_DOUBLE_EQ(p.a[2].d, -25.0);
  // An E without a digit after it is no exponent.
  EXPECT_EQ(p.a[3].l, 7);
  Parsed big = Parse("PA1e10,1e400");
  EXPECT_EQ(big.a[0].l, INT32_MAX);
  EXPECT_TRUE(std::isinf(big.a[1].d));
  EXPECT_NE(big.log.find("Long-Integer range error"), std::string::npos);
  EXPECT_NE(big.log.find("Floating-Point range error"), std::string::npos);
}

// Short numbers take a one-pass path and long ones the general one; both
// must give the forms the general reading gives at every length.
TEST(GetArgs, ShortAndLongNumbersAgree) {
  struct Case {
    const char* text;
    int32_t l;
    double d;
  };
  const Case cases[] = {
      {"PA123456789", 123456789, 123456789.0},
      {"PA1234567890", 1234567890, 1234567890.0},     // ten digits before the point
      {"PA-2147483648", INT32_MIN, -2147483648.0},
      {"PA0000000001", 1, 1.0},                        // leading zeros count as digits
      {"PA123456789.123456", 123456789, 123456789.123456},  // exactly fifteen digits
      {"PA1.2345678901234567", 1, 1.2345678901234567},      // more than fifteen
      {"PA-0", 0, -0.0},
      {"PA+.5", 0, 0.5},
      {"PA7.", 7, 7.0},
      {"PA  -3.25", -3, -3.25},
      {"PA0.1", 0, 0.1},
  };
  for (const Case& c : cases) {
    Parsed p = Parse(c.text);
    ASSERT_EQ(p.n, 1) << c.text;
    EXPECT_EQ(p.a[0].l, c.l) << c.text;
    EXPECT_EQ(p.a[0].d, c.d) << c.text;
    EXPECT_EQ(std::signbit(p.a[0].d), std::signbit(c.d)) << c.text;
    EXPECT_TRUE(p.log.empty()) << c.text;
  }
  // A sign or a point alone is no number: skipped one character at a time.
  Parsed lone = Parse("PA-,.,+5");
  ASSERT_EQ(lone.n, 1);
  EXPECT_EQ(lone.a[0].l, 5);
}

TEST(GetArgs, TooManyParametersAreCutWithAWarning) {
  Parsed p = Parse("SC1,2,3,4,5,6", 5);
  EXPECT_EQ(p.n, 5);
  EXPECT_EQ(p.a[4].l, 5);
  EXPECT_EQ(p.log, "Warning: Expecting at most 5 parameters: 'SC1,2,3,4,5,6' at offset 0x1f\r\n");
}

TEST(GetArgs, RangeErrorsSaturateAndWarn) {
  std::string huge = "PA" + std::string(400, '9');
  Parsed p = Parse(huge.c_str());
  ASSERT_EQ(p.n, 1);
  EXPECT_TRUE(std::isinf(p.a[0].d));
  EXPECT_EQ(p.a[0].l, INT32_MAX);
  EXPECT_NE(p.log.find("Warning: Floating-Point range error--Overflow or Under-flow: '999"), std::string::npos);
  EXPECT_NE(p.log.find("Warning: Long-Integer range error--Overflow or Under-flow: '999"), std::string::npos);

  Parsed q = Parse("PA-12345678901");
  ASSERT_EQ(q.n, 1);
  EXPECT_EQ(q.a[0].l, INT32_MIN);
  EXPECT_DOUBLE_EQ(q.a[0].d, -12345678901.0);
  EXPECT_EQ(q.log, "Warning: Long-Integer range error--Overflow or Under-flow: '-12345678901' at offset 0x1f\r\n");
}

}  // namespace
}  // namespace tsl
