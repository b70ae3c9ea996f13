// Force platforms of the real recordings (../shared/data/c3d).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "formats/c3d/C3d.h"
#include "formats/c3d/ForcePlates.h"
#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::SharedDataDir;

// Metres per unit of the recordings' coordinates (every one in millimetres
// but for those that say otherwise).
float MetresPerUnit(const CC3d& c3d) {
  const CParam* units = c3d.paramSet.Find("POINT", "UNITS");
  return units != nullptr && units->GetString(0) == "m" ? 1.0f : 0.001f;
}

struct CPlateCheck {
  std::string file;
  int plate;
  int type;
  float largestForce = 0;       // N, vertical
  int samplesAbove = 0;         // vertical force above the blanking threshold
  float worstOutside = 0;       // metres beyond the corners
  float largestFreeMoment = 0;  // N m, over the same samples
};

// Every type-2 and type-3 plate of every recording.
std::vector<CPlateCheck> CheckAllPlates() {
  std::vector<CPlateCheck> checks;
  for (const auto& entry : std::filesystem::directory_iterator(SharedDataDir() / "c3d")) {
    RecordingPlatform platform;
    CC3d c3d;
    c3d.SetPlatform(&platform);
    c3d.fileName = entry.path();
    if (!c3d.Open()) continue;
    const float metres = MetresPerUnit(c3d);
    const CParam* corners = c3d.paramSet.Find("FORCE_PLATFORM", "CORNERS");
    for (int p = 0; p < GetPlateCount(c3d); ++p) {
      const int type = GetPlateType(c3d, p);
      if (type != 2 && type != 3) continue;
      CPlateCheck check{entry.path().filename().string(), p + 1, type};
      std::vector<float> fz, dx, dy, tz;
      ComputePlateComponent(c3d, p, PlateComponent::FZ, fz);
      ComputePlateComponent(c3d, p, PlateComponent::DX, dx);
      ComputePlateComponent(c3d, p, PlateComponent::DY, dy);
      ComputePlateComponent(c3d, p, PlateComponent::TZ, tz);
      float x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
      for (int k = 0; k < 4; ++k) {
        const float x = corners->GetValue(12 * p + 3 * k);
        const float y = corners->GetValue(12 * p + 3 * k + 1);
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
      }
      for (float f : fz) check.largestForce = std::max(check.largestForce, std::fabs(f));
      for (std::size_t i = 0; i < fz.size(); ++i) {
        if (!(std::fabs(fz[i]) > 0.3f * check.largestForce)) continue;
        ++check.samplesAbove;
        const float outside = std::max({x0 - dx[i], dx[i] - x1, y0 - dy[i], dy[i] - y1, 0.0f});
        check.worstOutside = std::max(check.worstOutside, outside * metres);
        check.largestFreeMoment = std::max(check.largestFreeMoment, std::fabs(tz[i]) * metres);
      }
      checks.push_back(check);
    }
  }
  return checks;
}

TEST(ForcePlatesRealFiles, CentreOfPressureOnThePlateAndSmallFreeMoments) {
  KX_REQUIRE_SHARED_DATA();
  // Plates someone stood on; on an empty plate the threshold is noise and
  // the centre of pressure means nothing.
  constexpr float kLoaded = 100.0f;
  int loaded = 0;
  int type2 = 0;
  for (const CPlateCheck& c : CheckAllPlates()) {
    if (c.largestForce < kLoaded) continue;
    SCOPED_TRACE(c.file + " plate " + std::to_string(c.plate));
    ++loaded;
    EXPECT_GT(c.samplesAbove, 0);
    EXPECT_LE(c.worstOutside, 0.02f);
    // The free moment of a foot on the ground is a few N m; these are
    // walking and standing trials.
    if (c.type == 2) {
      ++type2;
      EXPECT_LE(c.largestFreeMoment, 30.0f);
    }
  }
  EXPECT_GE(loaded, 90);
  EXPECT_GE(type2, 70);
}

// In one walk the second plate lies turned round: with forces written along
// the laboratory's axes both plates read braking, then propulsion, along the
// way the centre of pressure travels.
TEST(ForcePlatesRealFiles, BothPlatesOfAWalkReadBrakingThenPropulsion) {
  KX_REQUIRE_SHARED_DATA();
  RecordingPlatform platform;
  CC3d c3d;
  c3d.SetPlatform(&platform);
  c3d.fileName = SharedDataDir() / "c3d" / "dec_int.c3d";
  ASSERT_TRUE(c3d.Open());
  ASSERT_EQ(GetPlateCount(c3d), 2);
  for (int p = 0; p < 2; ++p) {
    SCOPED_TRACE(p + 1);
    std::vector<float> fx, fy, fz, dx, dy;
    ComputePlateComponent(c3d, p, PlateComponent::FX, fx);
    ComputePlateComponent(c3d, p, PlateComponent::FY, fy);
    ComputePlateComponent(c3d, p, PlateComponent::FZ, fz);
    ComputePlateComponent(c3d, p, PlateComponent::DX, dx);
    ComputePlateComponent(c3d, p, PlateComponent::DY, dy);
    const float sx = static_cast<float>(GetPlateForceSign(c3d, p, 0));
    const float sy = static_cast<float>(GetPlateForceSign(c3d, p, 1));
    float largest = 0.0f;
    for (float f : fz) largest = std::max(largest, std::fabs(f));
    // The stance: the samples loaded beyond the blanking threshold.
    std::size_t first = fz.size();
    std::size_t last = 0;
    for (std::size_t i = 0; i < fz.size(); ++i) {
      if (std::fabs(fz[i]) <= 0.3f * largest) continue;
      first = std::min(first, i);
      last = i;
    }
    ASSERT_LT(first + 40, last);
    const float wayX = dx[last] - dx[first];
    const float wayY = dy[last] - dy[first];
    auto along = [&](std::size_t from, std::size_t to) {
      double sum = 0.0;
      for (std::size_t i = from; i < to; ++i) sum += sx * fx[i] * wayX + sy * fy[i] * wayY;
      return sum;
    };
    const std::size_t quarter = (last - first) / 4;
    EXPECT_LT(along(first, first + quarter), 0.0);
    EXPECT_GT(along(last - quarter, last), 0.0);
  }
}

}  // namespace

namespace {

// Angles turned between degrees and radians one single-precision operation
// after the other give the plate's reference forces to the last digit.
TEST(ForcePlatesRealFiles, TurnedPlatesToTheLastDigit) {
  KX_REQUIRE_SHARED_DATA();
  RecordingPlatform platform;
  CC3d c3d;
  c3d.SetPlatform(&platform);
  c3d.fileName = SharedDataDir() / "c3d" / "Capture0002.c3d";
  ASSERT_TRUE(c3d.Open());
  std::vector<float> fy;
  ASSERT_TRUE(ComputePlateComponent(c3d, 1, PlateComponent::FY, fy));
  ASSERT_GT(fy.size(), 319u);
  const float written = static_cast<float>(GetPlateForceSign(c3d, 1, 1)) * fy[319];
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(written));
  EXPECT_STREQ(text, "-19.933");
}

}  // namespace
