#include "documents/Scene3d.h"

#include <gtest/gtest.h>

#include <cmath>

#include "c3dbuilder/C3dBuilder.h"
#include "documents/C3dDoc.h"
#include "documents/Playback.h"
#include "documents/PlotSeries.h"
#include "support/TestSupport.h"

namespace {

// Two markers, the second lost in frame 3, and a joint angle stored as a
// point; one six-channel plate whose vertical channel pushes down in frames
// 4 to 7 only.
c3dbuilder::Spec PlateSpec(const char* yScreen) {
  c3dbuilder::Spec s;
  s.frames = 10;
  s.points = 3;
  s.analogChannels = 6;
  s.analogRatio = 2;
  c3dbuilder::AddStandardParameters(s, {"LHEE", "RHEE", "LKneeAngles"},
                                    {"FX", "FY", "FZ", "MX", "MY", "MZ"});
  s.params.push_back(c3dbuilder::StringParam("POINT", "ANGLES", {"LKneeAngles"}));
  if (yScreen != nullptr) {
    s.params.push_back(c3dbuilder::StringParam("POINT", "X_SCREEN", {"+X"}));
    s.params.push_back(c3dbuilder::StringParam("POINT", "Y_SCREEN", {yScreen}));
  }
  s.groups.push_back({"FORCE_PLATFORM", "", false});
  s.params.push_back(c3dbuilder::NumberParam("FORCE_PLATFORM", "USED", 2, {1}));
  s.params.push_back(c3dbuilder::NumberParam("FORCE_PLATFORM", "TYPE", 2, {2}));
  s.params.push_back(c3dbuilder::NumberParam("FORCE_PLATFORM", "CHANNEL", 2, {1, 2, 3, 4, 5, 6}));
  s.params.push_back(c3dbuilder::NumberParam("FORCE_PLATFORM", "ORIGIN", 4, {0, 0, -40}));
  c3dbuilder::Param corners = c3dbuilder::NumberParam(
      "FORCE_PLATFORM", "CORNERS", 4, {600, 400, 0, 0, 400, 0, 0, 0, 0, 600, 0, 0});
  corners.dims = {3, 4};
  s.params.push_back(corners);
  s.pointValue = [](int i, int j, int c) -> float {
    if (j == 1 && i == 2) return c == 3 ? -1.0f : 0.0f;
    return c == 3 ? 1.0f : static_cast<float>(100 * (j + 1) + 10 * c + i);
  };
  // Raw counts times ANALOG:SCALE and GEN_SCALE give newtons.
  s.analogValue = [](int i, int, int k) -> float { return k == 2 && i >= 3 && i <= 6 ? -5000.0f : 0.0f; };
  return s;
}

class SceneTest : public ::testing::Test {
 protected:
  void Open(const char* yScreen = nullptr) {
    const auto bytes = c3dbuilder::Build(PlateSpec(yScreen));
    testsupport::WriteFile(dir / "walk.c3d", {bytes.begin(), bytes.end()});
    ASSERT_TRUE(doc.OnOpenDocument(dir / "walk.c3d"));
    scene = CScene::FromRecording(doc.Reader(), doc.Description());
  }
  testsupport::TempDir dir;
  testsupport::RecordingPlatform platform;
  CC3dDoc doc{platform};
  CScene scene;
};

TEST(CameraTest, ProjectsAKnownPointOntoItsPixel) {
  // From +X, 1000 mm away, a 90-degree view: 100 mm to the side at the
  // target is a tenth of the half-height off the centre.
  CCamera camera;
  camera.azimuth = 0.0f;
  camera.elevation = 0.0f;
  camera.distance = 1000.0f;
  camera.fieldOfView = 90.0f;
  float x = 0, y = 0;
  ASSERT_TRUE(camera.Project({0, 100, 0}, 200, 200, x, y));
  EXPECT_NEAR(x, 110.0f, 1e-3f);
  EXPECT_NEAR(y, 100.0f, 1e-3f);
  ASSERT_TRUE(camera.Project({0, 0, 100}, 200, 200, x, y));
  EXPECT_NEAR(x, 100.0f, 1e-3f);
  EXPECT_NEAR(y, 90.0f, 1e-3f);
  // Behind the camera nothing lands anywhere.
  EXPECT_FALSE(camera.Project({2000, 0, 0}, 200, 200, x, y));
}

TEST_F(SceneTest, OnlyMarkersWithAPlaceAreShownInTheScreenAxes) {
  Open();
  std::vector<CVec3> places;
  std::vector<unsigned char> valid;
  scene.MarkersAt(2, places, valid);
  ASSERT_EQ(places.size(), 3u);
  EXPECT_TRUE(valid[0]);
  EXPECT_FALSE(valid[1]);
  EXPECT_FALSE(valid[2]);  // an angle has no place
  // Integer coordinates times POINT:SCALE (0.1), Z up as stored.
  EXPECT_NEAR(places[0].x, 10.2f, 1e-4f);
  EXPECT_NEAR(places[0].z, 12.2f, 1e-4f);
  scene.MarkersAt(doc.Reader().FrameCount(), places, valid);
  EXPECT_FALSE(valid[0]);

  // A file that names Y as up has its Y drawn up.
  doc.OnCloseDocument();
  Open("+Y");
  scene.MarkersAt(0, places, valid);
  EXPECT_NEAR(places[0].z, 11.0f, 1e-4f);
}

TEST_F(SceneTest, GroundReactionOnlyWhereTheCentreOfPressureIsKept) {
  Open();
  ASSERT_EQ(scene.Plates().size(), 1u);
  EXPECT_TRUE(scene.Plates()[0].hasCorners);
  CVec3 from, to;
  EXPECT_FALSE(scene.ForceAt(0, 1, 1.0f, from, to));  // no load
  // The first loaded samples are blanked as the exports blank them.
  EXPECT_FALSE(scene.ForceAt(0, 5, 1.0f, from, to));
  ASSERT_TRUE(scene.ForceAt(0, 6, 1.0f, from, to));
  // -5000 counts x 0.5 x 0.01 = -25 N on the plate: 25 N up on the subject,
  // from a point on the plate.
  EXPECT_NEAR(to.z - from.z, 25.0f, 1e-3f);
  EXPECT_NEAR(to.x - from.x, 0.0f, 1e-3f);
  EXPECT_GE(from.x, 0.0f);
  EXPECT_LE(from.x, 600.0f);
  EXPECT_FALSE(scene.Bounds().empty);
}

TEST(PlaybackClockTest, KeepsThePaceAtEachSpeedAndLoopsOverTheRange) {
  CPlaybackClock clock;
  clock.SetRecording(1, 1000, 100.0);
  clock.SetRange(101, 200);
  clock.SetSpeed(2.0);
  clock.Play();
  EXPECT_EQ(clock.Frame(), 101);  // from outside the range: its first frame
  // Ticks of 7 ms at twice 100 frames per second: 1.4 frames each, the
  // fractions carried over.
  for (int i = 0; i < 50; ++i) clock.Advance(0.007);
  EXPECT_EQ(clock.Frame(), 171);
  clock.Advance(0.2);  // 40 frames on: round from 200 to 101 and on
  EXPECT_EQ(clock.Frame(), 111);
  clock.SetLoop(false);
  clock.Advance(1.0);
  EXPECT_EQ(clock.Frame(), 200);
  EXPECT_FALSE(clock.Playing());
  clock.SetSpeed(100.0);
  EXPECT_EQ(clock.Speed(), 4.0);
}

TEST(TickLabelTest, StaysShortWithoutExponents) {
  EXPECT_EQ(TickLabel(-800000.0, 200000.0), "-800000");
  EXPECT_EQ(TickLabel(0.30000000000000004, 0.1), "0.3");
  EXPECT_EQ(TickLabel(-1e-17, 0.1), "0.0");
  EXPECT_EQ(TickLabel(2.5, 0.5), "2.5");
  EXPECT_EQ(TickLabel(3e9, 1e9), "3G");
  EXPECT_EQ(TickLabel(2e-5, 1e-5), "0.00002");
  EXPECT_EQ(TickLabel(2e-7, 1e-7), "200n");
}

}  // namespace
