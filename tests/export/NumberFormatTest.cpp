#include "export/NumberFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string s(static_cast<std::size_t>(n), '\0');
  std::vsnprintf(s.data(), s.size() + 1, format, again);
  va_end(again);
  return s;
}

std::string Fixed(double v, int precision) {
  std::string s = "<";  // something before: the functions append
  AppendFixed(s, v, precision);
  return s.substr(1);
}
std::string FixedWidth(double v, int width, int precision) {
  std::string s = "<";
  AppendFixedWidth(s, v, width, precision);
  return s.substr(1);
}
std::string Int(std::int64_t v) {
  std::string s = "<";
  AppendInt(s, v);
  return s.substr(1);
}
std::string Padded(std::string_view t, int width) {
  std::string s = "<";
  AppendPadded(s, t, width);
  return s.substr(1);
}

// Values the writers hand over are floats promoted to double.
double F(float v) {
  return static_cast<double>(v);
}

const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// One line per case: flag, width, precision and value against snprintf.
TEST(NumberFormatTest, FixedMatchesPrintfCaseByCase) {
  EXPECT_EQ(Fixed(0.0, 3), Printf("%.3f", 0.0));
  EXPECT_EQ(Fixed(-0.0, 3), Printf("%.3f", -0.0));
  EXPECT_EQ(Fixed(-0.0, 3), "-0.000");
  EXPECT_EQ(Fixed(-0.0, 0), "-0");
  EXPECT_EQ(Fixed(1.5, 0), Printf("%.0f", 1.5));
  EXPECT_EQ(Fixed(2.5, 0), Printf("%.0f", 2.5));
  EXPECT_EQ(Fixed(2.5, 0), "2");  // ties go to even
  EXPECT_EQ(Fixed(-2.5, 0), "-2");
  EXPECT_EQ(Fixed(0.5, 0), "0");
  EXPECT_EQ(Fixed(F(0.125f), 2), Printf("%.2f", F(0.125f)));
  EXPECT_EQ(Fixed(F(0.125f), 2), "0.12");
  EXPECT_EQ(Fixed(F(0.375f), 2), "0.38");
  EXPECT_EQ(Fixed(F(0.1f), 3), Printf("%.3f", F(0.1f)));
  EXPECT_EQ(Fixed(F(0.1f), 10), "0.1000000015");                    // the float's own digits
  EXPECT_EQ(Fixed(F(-0.0004f), 3), Printf("%.3f", F(-0.0004f)));    // rounds to "-0.000"
  EXPECT_EQ(Fixed(F(999.9996f), 3), Printf("%.3f", F(999.9996f)));  // carries into a new digit
  EXPECT_EQ(Fixed(F(123456.789f), 4), Printf("%.4f", F(123456.789f)));
  EXPECT_EQ(Fixed(F(1e30f), 2), Printf("%.2f", F(1e30f)));
  EXPECT_EQ(Fixed(F(-1e30f), 0), Printf("%.0f", F(-1e30f)));
  EXPECT_EQ(Fixed(F(FLT_MAX), 6), Printf("%.6f", F(FLT_MAX)));
  EXPECT_EQ(Fixed(F(1e-30f), 8), Printf("%.8f", F(1e-30f)));
  EXPECT_EQ(Fixed(F(1e-30f), 60), Printf("%.60f", F(1e-30f)));
  EXPECT_EQ(Fixed(F(FLT_TRUE_MIN), 160), Printf("%.160f", F(FLT_TRUE_MIN)));
  EXPECT_EQ(Fixed(DBL_MAX, 2), Printf("%.2f", DBL_MAX));
  EXPECT_EQ(Fixed(-DBL_TRUE_MIN, 1100), Printf("%.1100f", -DBL_TRUE_MIN));
  EXPECT_EQ(Fixed(F(3.75f), 255), Printf("%.255f", F(3.75f)));
  EXPECT_EQ(Fixed(1.0, 2000), Printf("%.2000f", 1.0));
  EXPECT_EQ(Fixed(F(2.5f), -1), Printf("%.*f", -1, F(2.5f)));  // as if no precision: 6
}

TEST(NumberFormatTest, FixedWidthMatchesPrintfCaseByCase) {
  EXPECT_EQ(FixedWidth(F(1.25f), 8, 3), Printf("%8.3f", F(1.25f)));
  EXPECT_EQ(FixedWidth(F(-1.25f), 8, 3), Printf("%8.3f", F(-1.25f)));
  EXPECT_EQ(FixedWidth(F(1.25f), 0, 3), Printf("%0.3f", F(1.25f)));
  EXPECT_EQ(FixedWidth(F(1.25f), 1, 3), Printf("%1.3f", F(1.25f)));  // wider than the width
  EXPECT_EQ(FixedWidth(F(1.25f), 5, 3), Printf("%5.3f", F(1.25f)));  // exactly the width
  EXPECT_EQ(FixedWidth(F(12.0f), 4, 0), Printf("%4.0f", F(12.0f)));
  EXPECT_EQ(FixedWidth(F(0.01f), 6, 3), Printf("%6.3f", F(0.01f)));
  EXPECT_EQ(FixedWidth(-0.0, 7, 2), Printf("%7.2f", -0.0));
  EXPECT_EQ(FixedWidth(F(1e30f), 10, 1), Printf("%10.1f", F(1e30f)));
  EXPECT_EQ(FixedWidth(F(5.5f), 255, 2), Printf("%255.2f", F(5.5f)));
  EXPECT_EQ(FixedWidth(F(5.5f), -9, 2), Printf("%-9.2f", F(5.5f)));  // negative width: left
  EXPECT_EQ(FixedWidth(F(5.5f), 12, 1500), Printf("%12.1500f", F(5.5f)));
  EXPECT_EQ(FixedWidth(F(5.5f), 1600, 1500), Printf("%1600.1500f", F(5.5f)));
}

TEST(NumberFormatTest, NanAndInfinityAreTheSameEverywhere) {
  EXPECT_EQ(Fixed(kNan, 3), "nan");
  EXPECT_EQ(Fixed(-kNan, 3), "-nan");
  EXPECT_EQ(Fixed(kInf, 0), "inf");
  EXPECT_EQ(Fixed(-kInf, 8), "-inf");
  EXPECT_EQ(Fixed(F(std::numeric_limits<float>::quiet_NaN()), 2), "nan");
  EXPECT_EQ(Fixed(kNan, 2000), "nan");  // no padding zeros after a non-number
  EXPECT_EQ(FixedWidth(kNan, 8, 3), "     nan");
  EXPECT_EQ(FixedWidth(-kNan, 8, 3), "    -nan");
  EXPECT_EQ(FixedWidth(kInf, 2, 3), "inf");
  EXPECT_EQ(FixedWidth(-kInf, 6, 1), "  -inf");
  EXPECT_EQ(FixedWidth(-kInf, -6, 1), "-inf  ");
#if defined(__GLIBC__)
  EXPECT_EQ(FixedWidth(-kNan, 8, 3), Printf("%8.3f", -kNan));
  EXPECT_EQ(FixedWidth(kInf, 8, 3), Printf("%8.3f", kInf));
#endif
}

TEST(NumberFormatTest, IntAndPaddedMatchPrintfCaseByCase) {
  EXPECT_EQ(Int(0), Printf("%d", 0));
  EXPECT_EQ(Int(-1), Printf("%d", -1));
  EXPECT_EQ(Int(32767), Printf("%d", 32767));
  EXPECT_EQ(Int(-32768), Printf("%d", -32768));
  EXPECT_EQ(Int(4294967295), Printf("%u", 4294967295u));
  EXPECT_EQ(Int(INT64_MIN), Printf("%lld", static_cast<long long>(INT64_MIN)));
  EXPECT_EQ(Int(INT64_MAX), Printf("%lld", static_cast<long long>(INT64_MAX)));

  EXPECT_EQ(Padded("abc", 6), Printf("%6s", "abc"));
  EXPECT_EQ(Padded("abc", 3), Printf("%3s", "abc"));
  EXPECT_EQ(Padded("abcdef", 2), Printf("%2s", "abcdef"));  // never truncated
  EXPECT_EQ(Padded("", 4), Printf("%4s", ""));
  EXPECT_EQ(Padded("", 0), Printf("%*s", 0, ""));
  EXPECT_EQ(Padded("x y", -5), Printf("%-5s", "x y"));
  EXPECT_EQ(Padded("Marker 01", 255), Printf("%255s", "Marker 01"));
}

TEST(NumberFormatTest, AppendsToWhatIsThere) {
  std::string s = "x=";
  AppendFixed(s, 1.5, 1);
  s += ' ';
  AppendFixedWidth(s, 2.0, 5, 1);
  AppendInt(s, -7);
  AppendPadded(s, "ab", 3);
  EXPECT_EQ(s, "x=1.5   2.0-7 ab");
}

// Random floats over the whole range, and the awkward ones, at the
// precisions the writers use.
TEST(NumberFormatTest, FloatsMatchPrintfAtPrecisionsZeroToEight) {
  std::vector<float> values = {
      0.0f,         -0.0f,         0.125f,      2.5f,          0.5f,        1.5f,     -2.5f,
      1e30f,        -1e30f,        1e-30f,      -1e-30f,       FLT_MAX,     -FLT_MAX, FLT_MIN,
      FLT_TRUE_MIN, -FLT_TRUE_MIN, FLT_MIN / 3, 16777216.0f,   16777217.0f, 0.0005f,  0.00049999f,
      999999.5f,    1234.5678f,    -0.04999f,   4294967296.0f, 9.999999e8f, 1e10f,    8388607.5f};
  // Exact ties at every precision up to 8: k / 2^n with few significant bits.
  for (int k = -40; k <= 40; ++k) {
    for (int n = 1; n <= 9; ++n) values.push_back(std::ldexp(static_cast<float>(k), -n));
  }
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<std::uint32_t> bits;
  std::uniform_real_distribution<float> lab(-5000.0f, 5000.0f);
  for (int i = 0; i < 20000; ++i) {
    const float f = std::bit_cast<float>(bits(rng));
    if (std::isfinite(f)) values.push_back(f);
    values.push_back(lab(rng));  // the magnitudes recordings really hold
  }
  for (float f : values) {
    for (int p = 0; p <= 8; ++p) {
      ASSERT_EQ(Fixed(F(f), p), Printf("%.*f", p, F(f)))
          << "float bits " << std::bit_cast<std::uint32_t>(f) << " precision " << p;
    }
    ASSERT_EQ(FixedWidth(F(f), 10, 3), Printf("%10.3f", F(f)));
  }
}

// Properties over the whole parameter space: any width and precision a byte
// can give, doubles of any bit pattern, padding never shortens.
TEST(NumberFormatTest, PropertySweepAgainstPrintf) {
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<std::uint64_t> bits;
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::int64_t> wide(INT64_MIN, INT64_MAX);
  for (int i = 0; i < 3000; ++i) {
    double d = std::bit_cast<double>(bits(rng));
    if (i % 3 == 0) d = F(static_cast<float>(d));  // also floats, NaN and infinities included
    const int w = byte(rng);
    const int p = byte(rng);
    const std::string got = FixedWidth(d, w, p);
    if (std::isnan(d)) {
      ASSERT_EQ(got, Padded(std::signbit(d) ? "-nan" : "nan", w));
    } else {
      ASSERT_EQ(got, Printf("%*.*f", w, p, d)) << "double bits " << std::bit_cast<std::uint64_t>(d);
      ASSERT_EQ(Fixed(d, p), Printf("%.*f", p, d));
    }
    ASSERT_GE(got.size(), static_cast<std::size_t>(w));

    const std::int64_t n = wide(rng) >> byte(rng) % 64;
    ASSERT_EQ(Int(n), Printf("%lld", static_cast<long long>(n)));
    const std::string text(static_cast<std::size_t>(byte(rng) % 40), 'a');
    ASSERT_EQ(Padded(text, w), Printf("%*s", w, text.c_str()));
  }
  // Every precision a byte can give, for the same few values.
  for (int p = 0; p <= 255; ++p) {
    for (double d : {F(0.1f), F(-123.456f), F(FLT_TRUE_MIN), 1.0 / 3.0, -0.0, F(1e30f)}) {
      ASSERT_EQ(Fixed(d, p), Printf("%.*f", p, d)) << "precision " << p;
    }
  }
}

}  // namespace

// Values whose product with 10^p lies at or next to a half, where the quick
// path must hand over to the exact one: every float around k + 0.5 thousandths.
TEST(NumberFormatNearTies, MatchesPrintfAroundHalves) {
  char expected[64];
  for (int k = -3000; k <= 3000; ++k) {
    float v = (static_cast<float>(k) + 0.5f) / 1000.0f;
    for (int step = 0; step < 5; ++step, v = std::nextafter(v, 1e9f)) {
      for (int p : {2, 3}) {
        std::string got;
        AppendFixed(got, v, p);
        std::snprintf(expected, sizeof expected, "%.*f", p, static_cast<double>(v));
        ASSERT_EQ(got, expected) << v << " precision " << p;
      }
    }
  }
}
