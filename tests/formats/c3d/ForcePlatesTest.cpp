#include "formats/c3d/ForcePlates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "formats/AnalogParameters.h"
#include "model/Recording.h"

namespace {

constexpr int kGroup = 2;

// A recording built in memory: FORCE_PLATFORM parameters and analog channels
// of 16-bit samples, one sample per frame, no ANALOG scaling (offset 0).
class PlateRecording {
 public:
  explicit PlateRecording(int samples = 20) : m_samples(samples) {
    rec.lastFrame = samples;
    rec.paramSet.AddGroup("FORCE_PLATFORM", "", -kGroup);
  }

  CParam& Numbers(const char* name, std::int16_t type, const std::vector<float>& values,
                  std::vector<std::uint8_t> dims = {}) {
    Remove(name);
    CParam& p = rec.paramSet.AddArrayParam(kGroup, name, "", type, static_cast<int>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
      SetParamValue(p, static_cast<int>(i), values[i]);
    if (!dims.empty()) p.dimensions = dims;
    return p;
  }
  void Strings(const char* name, const std::vector<std::string>& values) {
    Remove(name);
    CParam& p = rec.paramSet.AddStringParam(kGroup, name, "", static_cast<int>(values.size()));
    p.strings = values;
    CParamSet::FinishStringParam(p);
  }
  void Remove(const char* name) {
    auto& ps = rec.paramSet.params;
    for (auto it = ps.begin(); it != ps.end(); ++it) {
      if (it->name == name) {
        ps.erase(it);
        return;
      }
    }
  }
  // `count` channels, sample i of channel c being value(c, i); ANALOG:OFFSET
  // 0 for every channel.
  void Channels(int count, const std::function<float(int c, int i)>& value) {
    rec.analog.resize(static_cast<std::size_t>(count));
    for (int c = 0; c < count; ++c) {
      CSampleBuffer& b = rec.analog[static_cast<std::size_t>(c)].samples;
      ASSERT_TRUE(b.Allocate(static_cast<std::size_t>(m_samples), true));
      for (int i = 0; i < m_samples; ++i) b.Ints()[i] = static_cast<std::int16_t>(value(c, i));
    }
    if (rec.paramSet.Find("ANALOG", "OFFSET") == nullptr) {
      rec.paramSet.AddGroup("ANALOG", "", -1);
      rec.paramSet.AddArrayParam(1, "OFFSET", "", kParamInt, count);
    }
  }
  CParam& AnalogOffset() {
    return rec.paramSet
        .params[static_cast<std::size_t>(rec.paramSet.FindParameter("ANALOG", "OFFSET"))];
  }
  // One square plate in the common orientation (its X axis along the
  // laboratory's, its Y axis against): corner 0 at +x -y, 1 at -x -y, 2 at
  // -x +y, 3 at +x +y.
  void SquarePlate(float cx, float cy, float half = 200.0f) {
    Numbers("CORNERS", kParamFloat,
            {cx + half, cy - half, 0, cx - half, cy - half, 0, cx - half, cy + half, 0, cx + half,
             cy + half, 0});
  }

  std::vector<float> Series(int p, PlateComponent c) const {
    std::vector<float> out;
    ComputePlateComponent(rec, p, c, out);
    return out;
  }

  CRecording rec;

 private:
  int m_samples;
};

// One type-2 plate on channels 1..6 with constant loads.
void Type2Plate(PlateRecording& r, float fx, float fy, float fz, float mx, float my, float mz) {
  r.Numbers("USED", kParamInt, {1});
  r.Numbers("TYPE", kParamInt, {2});
  r.Numbers("CHANNEL", kParamInt, {1, 2, 3, 4, 5, 6});
  r.Numbers("ORIGIN", kParamFloat, {0, 0, -40});
  const float loads[6] = {fx, fy, fz, mx, my, mz};
  r.Channels(6, [&](int c, int) { return loads[c]; });
}

TEST(ForcePlatesTest, PlateCountAndTypeHaveOneReading) {
  PlateRecording r;
  EXPECT_EQ(GetPlateCount(r.rec), 0);  // no USED
  r.Strings("USED", {"2"});
  EXPECT_EQ(GetPlateCount(r.rec), 2);
  r.Numbers("USED", kParamByte, {255});  // a signed byte: -1, no plates
  EXPECT_EQ(GetPlateCount(r.rec), 0);
  r.Numbers("USED", kParamFloat, {2.9f});
  EXPECT_EQ(GetPlateCount(r.rec), 2);
  r.Numbers("USED", kParamInt, {-3});
  EXPECT_EQ(GetPlateCount(r.rec), 0);
  r.Numbers("USED", kParamInt, {});
  EXPECT_EQ(GetPlateCount(r.rec), 0);

  r.Numbers("TYPE", kParamFloat, {2.6f, 2.5f, -7.0f});
  EXPECT_EQ(GetPlateType(r.rec, 0), 3);
  EXPECT_EQ(GetPlateType(r.rec, 1), 2);  // ties to even, as "%.0f"
  EXPECT_EQ(GetPlateType(r.rec, 2), -1);
  EXPECT_EQ(GetPlateType(r.rec, 3), 0);
  r.Strings("TYPE", {"3", "x"});
  EXPECT_EQ(GetPlateType(r.rec, 0), 3);
  EXPECT_EQ(GetPlateType(r.rec, 1), 0);
}

TEST(ForcePlatesTest, ChannelNumbering) {
  PlateRecording r;
  r.Numbers("USED", kParamInt, {4});
  // Types 3, 3, 2, 2 padded to rows of eight: each plate its own row.
  r.Numbers("TYPE", kParamInt, {3, 3, 2, 2});
  std::vector<float> padded = {1,  2,  3,  4,  5,  6,  7, 8, 9,  10, 11, 12, 13, 14, 15, 16,
                               23, 24, 25, 26, 27, 28, 0, 0, 17, 18, 19, 20, 21, 22, 0,  0};
  r.Numbers("CHANNEL", kParamInt, padded, {8, 4});
  EXPECT_EQ(GetPlateChannel(r.rec, 1, 7), 15);
  EXPECT_EQ(GetPlateChannel(r.rec, 2, 0), 22);
  EXPECT_EQ(GetPlateChannel(r.rec, 3, 0), 16);
  EXPECT_EQ(GetPlateChannel(r.rec, 3, 2), 18);
  EXPECT_EQ(GetPlateChannel(r.rec, 3, 6), -1);  // padding

  // Types 3, 3, 4, 4 in rows of six: the lists one after the other.
  r.Numbers("TYPE", kParamInt, {3, 3, 4, 4});
  std::vector<float> packed;
  for (int i = 1; i <= 24; ++i) packed.push_back(static_cast<float>(i));
  r.Numbers("CHANNEL", kParamInt, packed, {6, 4});
  EXPECT_EQ(GetPlateChannel(r.rec, 1, 0), 8);
  EXPECT_EQ(GetPlateChannel(r.rec, 2, 0), 16);
  EXPECT_EQ(GetPlateChannel(r.rec, 3, 1), 23);
  EXPECT_EQ(GetPlateChannel(r.rec, 3, 2), -1);  // past CHANNEL's end

  // One dimension: consecutive; a type outside 1..4 before the plate ends it.
  r.Numbers("USED", kParamInt, {2});
  r.Numbers("TYPE", kParamInt, {2, 3});
  r.Numbers("CHANNEL", kParamInt, std::vector<float>(packed.begin(), packed.begin() + 14));
  EXPECT_EQ(GetPlateChannel(r.rec, 1, 0), 6);
  EXPECT_EQ(GetPlateChannel(r.rec, 1, 7), 13);
  EXPECT_EQ(GetPlateChannel(r.rec, 1, 8), -1);
  r.Numbers("TYPE", kParamInt, {5, 3});
  EXPECT_EQ(GetPlateChannel(r.rec, 0, 0), 0);
  EXPECT_EQ(GetPlateChannel(r.rec, 1, 0), -1);
  r.Strings("CHANNEL", {"7", "8"});
  EXPECT_EQ(GetPlateChannel(r.rec, 0, 1), 7);
}

TEST(ForcePlatesTest, OriginGeometryAndSigns) {
  PlateRecording r;
  EXPECT_EQ(GetPlateOrigin(r.rec, 0, 2), 0.0f);
  r.Numbers("ORIGIN", kParamFloat, {1, 2, -40});
  EXPECT_EQ(GetPlateOrigin(r.rec, 0, 2), -40.0f);
  EXPECT_EQ(GetPlateOrigin(r.rec, 1, 0), 0.0f);  // a missing element is 0, not -1

  // Missing or CHAR corners: the plate laid square at the origin, and the
  // forces keep the signs of a plate in the common orientation.
  CPlateGeometry g;
  EXPECT_FALSE(GetPlateGeometryX(r.rec, 0, g));
  EXPECT_EQ(GetPlateAxisSign(r.rec, 0, 1), 1);
  EXPECT_EQ(GetPlateForceSign(r.rec, 0, 0), 1);
  EXPECT_EQ(GetPlateForceSign(r.rec, 0, 1), -1);
  r.Strings("CORNERS", {"1", "2"});
  EXPECT_EQ(GetPlateForceSign(r.rec, 0, 1), -1);
  // Short corners: no geometry, the signs of the corners still there.
  r.Numbers("CORNERS", kParamFloat, {600, 0, 0, 0, 0, 0});
  EXPECT_FALSE(GetPlateGeometryY(r.rec, 0, g));
  EXPECT_EQ(GetPlateAxisSign(r.rec, 0, 0), 0);
  EXPECT_EQ(GetPlateForceSign(r.rec, 0, 0), 1);

  r.SquarePlate(1000, 500);
  ASSERT_TRUE(GetPlateGeometryX(r.rec, 0, g));
  EXPECT_EQ(g.cx, 1000.0f);
  EXPECT_EQ(g.cy, 500.0f);
  EXPECT_EQ(g.angle, 0.0f);
  EXPECT_EQ(GetPlateForceSign(r.rec, 0, 0), 1);
  EXPECT_EQ(GetPlateForceSign(r.rec, 0, 1), -1);
  // The same plate turned half round: corner 0 at -x -y.
  r.Numbers("CORNERS", kParamFloat, {800, 700, 0, 1200, 700, 0, 1200, 300, 0, 800, 300, 0});
  EXPECT_EQ(GetPlateForceSign(r.rec, 0, 0), -1);
  EXPECT_EQ(GetPlateForceSign(r.rec, 0, 1), 1);
}

TEST(ForcePlatesTest, BaselinesFromZero) {
  // Samples 0..19 of every channel equal their index: a mean over i..j is
  // (i + j) / 2.
  PlateRecording r;
  Type2Plate(r, 0, 0, 0, 0, 0, 0);
  r.Channels(6, [](int, int i) { return static_cast<float>(i); });
  auto first = [&](PlateComponent c) { return r.Series(0, c)[0]; };

  r.Numbers("ZERO", kParamInt, {1, 10});
  EXPECT_EQ(first(PlateComponent::FZ), -4.5f);  // samples 0..9

  // [0, n] starts at the first sample instead of falling back to the offset.
  r.Numbers("ZERO", kParamInt, {0, 10});
  EXPECT_EQ(first(PlateComponent::FZ), -4.5f);
  SetParamValue(r.AnalogOffset(), 2, 7);
  r.Numbers("ZERO", kParamInt, {0, 0});
  EXPECT_EQ(first(PlateComponent::FZ), -7.0f);  // the offset
  r.Remove("ZERO");
  EXPECT_EQ(first(PlateComponent::FZ), -7.0f);

  // Type 3 takes samples Z0 .. Z1 - 1.
  PlateRecording t;
  t.Numbers("USED", kParamInt, {1});
  t.Numbers("TYPE", kParamInt, {3});
  t.Numbers("CHANNEL", kParamInt, {1, 2, 3, 4, 5, 6, 7, 8});
  t.Channels(8, [](int c, int i) { return c == 4 ? static_cast<float>(i) : 0.0f; });
  t.Numbers("ZERO", kParamInt, {1, 10});
  EXPECT_EQ(t.Series(0, PlateComponent::FZ)[0], -5.0f);  // samples 1..9
}

TEST(ForcePlatesTest, BlankingAtTheThresholdAndFiveSamplesAfter) {
  // Vertical force 1000 except 300 (the threshold 0.3 x 1000) at 4 and 299
  // at 10.
  PlateRecording r;
  Type2Plate(r, 0, 0, 0, 0, 0, 0);
  r.Channels(6, [](int c, int i) -> float {
    if (c == 2) return i == 4 ? 300.0f : (i == 10 ? 299.0f : 1000.0f);
    return c == 4 ? -400.0f : 0.0f;  // My: the plate's x of the centre of pressure 400 / Fz
  });
  r.SquarePlate(0, 0);
  const std::vector<float> dx = r.Series(0, PlateComponent::DX);
  for (int i = 0; i < 20; ++i) {
    const bool blanked = i >= 10 && i <= 15;
    EXPECT_EQ(dx[static_cast<std::size_t>(i)],
              blanked ? 0.0f : 400.0f / (i == 4 ? 300.0f : 1000.0f))
        << i;
  }
  const std::vector<float> tz = r.Series(0, PlateComponent::TZ);
  EXPECT_EQ(tz[15], 0.0f);
}

TEST(ForcePlatesTest, RotationsFromTwoDegrees) {
  // Fx 100 N on a plate whose X edge runs from corner 1 at the origin to
  // corner 0 at (a, b) mm and whose Y edge to corner 2 at (b, -a): both edges
  // turned by atan(b / a). Forces turn from two degrees on, the centre of
  // pressure past two.
  struct CTurned {
    float angle;
    float fy;
    float copX;  // DX less the plate's centre
  };
  auto turned = [](float a, float b) {
    PlateRecording r;
    Type2Plate(r, 100, 0, 500, 0, 0, 0);
    r.Numbers("CORNERS", kParamFloat, {a, b, 0, 0, 0, 0, b, -a, 0, a + b, b - a, 0});
    CPlateGeometry g;
    GetPlateGeometryX(r.rec, 0, g);
    return CTurned{g.angle, r.Series(0, PlateComponent::FY)[0],
                   r.Series(0, PlateComponent::DX)[0] - g.cx};
  };
  const float rad2 = 2.0f * 3.14159265f / 180.0f;
  // The plate measures its centre of pressure Fx |dz| / Fz = 8 mm along its X axis.
  const CTurned below = turned(600.0f, 20.849f);
  EXPECT_NEAR(below.angle, 1.99f, 0.001f);
  EXPECT_EQ(below.fy, 0.0f);
  EXPECT_EQ(below.copX, 8.0f);
  const CTurned two = turned(400.163f, 13.974f);
  EXPECT_EQ(two.angle, 2.0f);
  EXPECT_NEAR(two.fy, -100.0f * std::sin(rad2), 0.001f);
  EXPECT_NEAR(two.copX, 8.0f * std::cos(rad2), 0.0005f);  // measured turned, placed unturned
  const CTurned right = turned(0.0f, 600.0f);
  EXPECT_NEAR(right.angle, 90.0f, 0.001f);
  EXPECT_NEAR(right.fy, -100.0f, 0.001f);
}

TEST(ForcePlatesTest, MissingOrForeignChannelsLeaveTheSeriesZero) {
  PlateRecording r;
  Type2Plate(r, 10, 20, 500, 1, 2, 3);
  r.Numbers("CHANNEL", kParamInt, {1, 2, 3, 4, 5, 7});  // Mz beyond the six channels
  EXPECT_EQ(r.Series(0, PlateComponent::FZ)[0], 500.0f);
  EXPECT_EQ(r.Series(0, PlateComponent::TZ), std::vector<float>(20, 0.0f));
  r.Numbers("CHANNEL", kParamInt, {1, 0, 3});
  EXPECT_EQ(r.Series(0, PlateComponent::FX), std::vector<float>(20, 0.0f));
  EXPECT_EQ(r.Series(0, PlateComponent::DY), std::vector<float>(20, 0.0f));

  PlateRecording t;
  t.Numbers("USED", kParamInt, {1});
  t.Numbers("TYPE", kParamInt, {3});
  t.Numbers("CHANNEL", kParamInt, {1, 2, 3, 4, 5, 6, 7, 9});
  t.Channels(8, [](int, int) { return 50.0f; });
  EXPECT_EQ(t.Series(0, PlateComponent::FZ), std::vector<float>(20, 0.0f));
  EXPECT_EQ(t.Series(0, PlateComponent::FX)[0], 100.0f);
  // A type the plate computations do not know.
  t.Numbers("TYPE", kParamInt, {4});
  std::vector<float> out(3, 1.0f);
  EXPECT_FALSE(ComputePlateComponent(t.rec, 0, PlateComponent::FX, out));
  EXPECT_EQ(out, std::vector<float>(20, 0.0f));

  // A damaged header's ratio without a channel to go with it: the series are
  // as long as the samples held, not ratio x frames.
  PlateRecording none;
  Type2Plate(none, 1, 2, 3, 4, 5, 6);
  none.rec.analog.clear();
  none.rec.analogRatio = 65535;
  EXPECT_TRUE(none.Series(0, PlateComponent::FX).empty());
}

TEST(ForcePlatesTest, FreeMomentInThePlateFrameWhereverThePlateLies) {
  // Fx 50, Fy -30, Fz 600, Mx 1200, My -2400, Mz 900 (N, N mm), dz -40:
  // Qx = -(My - Fx |dz|) / Fz = 7.3333, Qy = (Mx + Fy |dz|) / Fz = 0;
  // Tz = Mz + Fx Qy - Fy Qx = 900 + 220 = 1120.
  for (const float centre : {0.0f, 1500.0f}) {
    PlateRecording r;
    Type2Plate(r, 50, -30, 600, 1200, -2400, 900);
    r.SquarePlate(centre, centre);
    EXPECT_NEAR(r.Series(0, PlateComponent::TZ)[0], 1120.0f, 0.001f) << centre;
    EXPECT_NEAR(r.Series(0, PlateComponent::DX)[0], centre + 22.0f / 6.0f * 2.0f, 0.001f);
  }
  // A plate turned a quarter round: the same moment.
  PlateRecording r;
  Type2Plate(r, 50, -30, 600, 1200, -2400, 900);
  r.Numbers("CORNERS", kParamFloat, {0, 400, 0, 0, 0, 0, 400, 0, 0, 400, 400, 0});
  EXPECT_NEAR(r.Series(0, PlateComponent::TZ)[0], 1120.0f, 0.001f);
}

TEST(ForcePlatesTest, PlateCopYTakesTheDepthWhateverItsSign) {
  // Fy 60, Fz 600, Mx 0: Py = Fy |dz| / Fz = 4 for dz -40 and +40 alike.
  for (const float dz : {-40.0f, 40.0f}) {
    PlateRecording r;
    Type2Plate(r, 0, 60, 600, 0, 0, 0);
    r.Numbers("ORIGIN", kParamFloat, {0, 0, dz});
    r.SquarePlate(0, 0);
    EXPECT_EQ(r.Series(0, PlateComponent::DY)[0], -4.0f) << dz;  // Y sign -1
  }
}

}  // namespace
