// The TRC and MOT files OpenSim reads: exact text of a small recording with
// known markers and plate loads, and the real walks read back.

#include "export/OpenSimExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "c3dbuilder/C3dBuilder.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ReadFileText;
using testsupport::RecordingPlatform;
using testsupport::TempDir;

// Three frames at 50 Hz, two samples each; LHEE (lost in frame 2) and RTOE
// in millimetres, integer coordinates at marker scale 0.5; a type-2 plate
// on channels 1-6 with constant loads Fx 10, Fy 20, Fz 500, Mx 0, My 0 and
// Mz 3000 N mm, centred at (300, 200) in the common orientation; an EMG
// channel counting samples.
c3dbuilder::Spec WalkSpec() {
  using namespace c3dbuilder;
  Spec s;
  s.markerScale = 0.5f;
  s.frameRate = 50.0f;
  s.frames = 3;
  s.points = 2;
  s.analogChannels = 7;
  s.analogRatio = 2;
  AddStandardParameters(s, {"LHEE", "RTOE"}, {"FX1", "FY1", "FZ1", "MX1", "MY1", "MZ1", "EMG 1"});
  for (Param& p : s.params) {
    if (p.name == "SCALE" && p.group == "ANALOG") p.numbers.assign(7, 1.0f);
    if (p.name == "GEN_SCALE") p.numbers = {1.0f};
  }
  s.params.push_back(StringParam("POINT", "UNITS", {"mm"}));
  s.params.push_back(StringParam("ANALOG", "UNITS", {"N", "N", "N", "Nmm", "Nmm", "Nmm", "V"}));
  s.groups.push_back({"FORCE_PLATFORM", "", false});
  s.params.push_back(NumberParam("FORCE_PLATFORM", "USED", 2, {1}));
  s.params.push_back(NumberParam("FORCE_PLATFORM", "TYPE", 2, {2}));
  s.params.push_back(NumberParam("FORCE_PLATFORM", "CHANNEL", 2, {1, 2, 3, 4, 5, 6}));
  s.params.push_back(NumberParam("FORCE_PLATFORM", "ORIGIN", 4, {0, 0, 0}));
  s.params.push_back(NumberParam("FORCE_PLATFORM", "CORNERS", 4,
                                 {500, 0, 0, 100, 0, 0, 100, 400, 0, 500, 400, 0}));
  s.pointValue = [](int i, int j, int c) -> float {
    if (j == 0 && i == 1) return c == 3 ? -1.0f : 0.0f;  // no data
    const float v[4] = {100.0f + 2.0f * i + 10.0f * j, 200.0f, -300.0f, 0.0f};
    return v[c];
  };
  s.analogValue = [](int i, int sample, int c) -> float {
    const float loads[6] = {10, 20, 500, 0, 0, 3000};
    return c < 6 ? loads[c] : 2.0f * i + sample;
  };
  return s;
}

class OpenSimExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto bytes = c3dbuilder::Build(WalkSpec());
    testsupport::WriteFile(dir / "walk.c3d", {bytes.begin(), bytes.end()});
    c3d.SetPlatform(&platform);
    c3d.fileName = dir / "walk.c3d";
    ASSERT_TRUE(c3d.Open());
    selection.analog.assign(c3d.analog.size(), '1');
    selection.points.assign(c3d.points.size(), '1');
    selection.rangeFirst = c3d.firstFrame;
    selection.rangeLast = c3d.lastFrame;
  }
  std::string Write(std::uint64_t (*writer)(const CExportJob&), const char* name) {
    const CExportJob job{c3d, C3dFormatDescription(), selection, dir / name, platform, true, true};
    EXPECT_GT(writer(job), 0u);
    return ReadFileText(dir / name);
  }

  TempDir dir;
  RecordingPlatform platform;
  CC3d c3d;
  CExportSelection selection;
};

TEST_F(OpenSimExportTest, TrcOfKnownMarkers) {
  EXPECT_EQ(
      Write(&ExportTrc, "walk.trc"),
      "PathFileType\t4\t(X/Y/Z)\twalk.trc\n"
      "DataRate\tCameraRate\tNumFrames\tNumMarkers\tUnits\tOrigDataRate\t"
      "OrigDataStartFrame\tOrigNumFrames\n"
      "50.00\t50.00\t3\t2\tmm\t50.00\t1\t3\n"
      "Frame#\tTime\tLHEE\t\t\tRTOE\t\t\n"
      "\t\tX1\tY1\tZ1\tX2\tY2\tZ2\n"
      "\n"
      "1\t0.000000\t50.000000\t100.000000\t-150.000000\t55.000000\t100.000000\t-150.000000\n"
      "2\t0.020000\t\t\t\t56.000000\t100.000000\t-150.000000\n"
      "3\t0.040000\t52.000000\t100.000000\t-150.000000\t57.000000\t100.000000\t-150.000000\n");
  // A range and a marker selection, as for every export.
  selection.points = "01";
  selection.rangeFirst = selection.rangeLast = 3;
  const std::string one = Write(&ExportTrc, "one.trc");
  EXPECT_NE(one.find("\n50.00\t50.00\t1\t1\tmm\t50.00\t3\t3\nFrame#\tTime\tRTOE\t\t\n"),
            std::string::npos)
      << one;
  EXPECT_EQ(one.substr(one.rfind("\n\n") + 2), "3\t0.040000\t57.000000\t100.000000\t-150.000000\n");
}

// The plate's load in the laboratory's axes: the force on the subject in N,
// the centre of pressure in metres, the free moment in N m (from N mm).
TEST_F(OpenSimExportTest, MotOfKnownChannelsAndPlateLoads) {
  selection.analog = "0000001";
  const std::string row =
      "\t10.000000\t-20.000000\t-500.000000\t0.300000\t0.200000\t0.000000"
      "\t0.000000\t0.000000\t3.000000\n";
  EXPECT_EQ(Write(&ExportMot, "walk.mot"),
            "walk.mot\nversion=1\nnRows=6\nnColumns=11\ninDegrees=no\nendheader\n"
            "time\tEMG_1\t1_ground_force_vx\t1_ground_force_vy\t1_ground_force_vz"
            "\t1_ground_force_px\t1_ground_force_py\t1_ground_force_pz\t1_ground_torque_x"
            "\t1_ground_torque_y\t1_ground_torque_z\n"
            "0.000000\t0.000000" +
                row + "0.010000\t1.000000" + row + "0.020000\t2.000000" + row +
                "0.030000\t3.000000" + row + "0.040000\t4.000000" + row + "0.050000\t5.000000" +
                row);
}

}  // namespace

namespace {

// A TRC or MOT file read back: the header's "key=value" or tab-separated
// fields and the data rows split at tabs.
struct CReadBack {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
};

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::string cell;
  std::istringstream in(line);
  while (std::getline(in, cell, '\t')) cells.push_back(cell);
  if (!line.empty() && line.back() == '\t') cells.emplace_back();
  return cells;
}

CReadBack ReadBack(const std::string& text, const std::string& endOfHeader) {
  CReadBack r;
  std::istringstream in(text);
  std::string line;
  bool data = false;
  while (std::getline(in, line)) {
    if (data) {
      r.rows.push_back(Cells(line));
    } else {
      r.header.push_back(line);
      data = line == endOfHeader;
    }
  }
  return r;
}

double Number(const std::string& cell) {
  return std::stod(cell);
}

TEST(OpenSimExportRealFiles, WalksReadBackAsTheRecordingHoldsThem) {
  KX_REQUIRE_SHARED_DATA();
  for (const char* name : {"Gait.c3d", "FunctionalWalk.c3d"}) {
    SCOPED_TRACE(name);
    TempDir dir;
    RecordingPlatform platform;
    CC3d c3d;
    c3d.SetPlatform(&platform);
    c3d.fileName = testsupport::SharedDataDir() / "c3d" / name;
    ASSERT_TRUE(c3d.Open());
    CExportSelection sel;
    sel.analog.assign(c3d.analog.size(), '1');
    sel.points.assign(c3d.points.size(), '1');
    sel.rangeFirst = c3d.firstFrame;
    sel.rangeLast = c3d.lastFrame;
    const CFormatDescription& format = C3dFormatDescription();
    const double rate = format.frameRate(c3d);

    ASSERT_GT(ExportTrc({c3d, format, sel, dir / "walk.trc", platform, true, true}), 0u);
    const CReadBack trc = ReadBack(ReadFileText(dir / "walk.trc"), "");
    ASSERT_EQ(trc.header.size(), 6u);
    const std::vector<std::string> values = Cells(trc.header[2]);
    EXPECT_NEAR(Number(values[0]), rate, 0.005);
    EXPECT_EQ(Number(values[2]), c3d.FrameCount());
    EXPECT_EQ(Number(values[3]), c3d.PointCount());
    ASSERT_EQ(trc.rows.size(), static_cast<std::size_t>(c3d.FrameCount()));
    for (const std::size_t at : {std::size_t{0}, trc.rows.size() - 1}) {
      const std::vector<std::string>& row = trc.rows[at];
      ASSERT_EQ(row.size(), 2 + 3 * static_cast<std::size_t>(c3d.PointCount()));
      EXPECT_EQ(Number(row[0]), c3d.firstFrame + static_cast<double>(at));
      EXPECT_NEAR(Number(row[1]), static_cast<double>(at) / rate, 1e-6);
      for (int j = 0; j < c3d.PointCount(); ++j) {
        const int i = static_cast<int>(at);
        if (!c3d.FrameHoldsData(j, i)) {
          EXPECT_EQ(row[2 + 3 * j], "");
          continue;
        }
        const float scale = c3d.integerData ? c3d.markerScale : 1.0f;
        EXPECT_NEAR(Number(row[2 + 3 * j]), c3d.points[j].samples.At(4 * at) * scale, 5e-6);
      }
    }

    ASSERT_GT(ExportMot({c3d, format, sel, dir / "walk.mot", platform, true, true}), 0u);
    const CReadBack mot = ReadBack(ReadFileText(dir / "walk.mot"), "endheader");
    const std::size_t samples = static_cast<std::size_t>(c3d.FrameCount() * c3d.analogRatio);
    EXPECT_EQ(mot.header[2], "nRows=" + std::to_string(samples));
    ASSERT_EQ(mot.rows.size(), samples + 1);  // the column names first
    EXPECT_EQ(mot.rows[0][0], "time");
    EXPECT_EQ(mot.header[3], "nColumns=" + std::to_string(mot.rows[0].size()));
    const double analogRate = rate * c3d.analogRatio;
    for (const std::size_t s : {std::size_t{0}, samples - 1}) {
      const std::vector<std::string>& row = mot.rows[s + 1];
      EXPECT_NEAR(Number(row[0]), static_cast<double>(s) / analogRate, 1e-6);
      const double scaled =
          (c3d.analog[0].samples.At(s) - c3d.GetOffset(0)) * c3d.GetScale(0) * c3d.GetGenScale();
      EXPECT_NEAR(Number(row[1]), scaled, 1e-5 + std::fabs(scaled) * 1e-6);
    }
  }
}

}  // namespace
