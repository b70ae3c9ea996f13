#include "formats/ReaderSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Float ranges are taken eight values at a time; the result must be the one
// value after value gives, bit for bit: the zero met first of +0 and -0, a
// NaN passed over, a NaN met first kept.
TEST(WidenRange, FloatsGiveWhatTheSequentialPassGives) {
  const float nan = std::nanf("");
  std::vector<std::vector<float>> cases;
  std::vector<float> zeros(40, 3.0f);
  zeros[14] = -0.0f;  // a later lane than the +0 after it
  zeros[17] = 0.0f;
  cases.push_back(zeros);
  std::swap(zeros[14], zeros[17]);
  cases.push_back(zeros);
  std::vector<float> withNan(37);
  for (std::size_t i = 0; i < withNan.size(); ++i) withNan[i] = std::sin(float(i)) * 100.0f;
  withNan[13] = nan;
  cases.push_back(withNan);
  withNan[0] = nan;
  cases.push_back(withNan);
  std::vector<float> positiveZeroMinimum(29, 1.0f);
  positiveZeroMinimum[3] = 0.0f;
  positiveZeroMinimum[17] = 0.0f;
  cases.push_back(positiveZeroMinimum);

  for (std::size_t c = 0; c < cases.size(); ++c) {
    const std::vector<float>& v = cases[c];
    float mn = v[0], mx = v[0];
    for (float x : v) {
      mn = std::min(mn, x);
      mx = std::max(mx, x);
    }
    float gotMin = v[0], gotMax = v[0];
    WidenRange(v.data(), v.size(), 1, gotMin, gotMax);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(gotMin), std::bit_cast<std::uint32_t>(mn))
        << "case " << c;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(gotMax), std::bit_cast<std::uint32_t>(mx))
        << "case " << c;
  }
}

}  // namespace
