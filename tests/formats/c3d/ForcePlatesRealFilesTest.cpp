// Force platforms of the real recordings (../shared/data/c3d).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
  float largestForce = 0;  // N, vertical
  int samplesAbove = 0;    // vertical force above the blanking threshold
  float worstOutside = 0;  // metres beyond the corners
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

}  // namespace
