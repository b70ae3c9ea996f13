#include "documents/ItemDetails.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "c3dbuilder/C3dBuilder.h"
#include "documents/C3dDoc.h"
#include "documents/DocumentTree.h"
#include "documents/RecordingEvents.h"
#include "formats/FormatDescription.h"
#include "support/TestSupport.h"

namespace {

// Two points (the second lost in frames 3 and 4), two channels at 2 samples
// per frame, header events, a CHAR and a two-dimensional FLOAT parameter.
c3dbuilder::Spec PaneSpec() {
  c3dbuilder::Spec s;
  s.frames = 8;
  s.points = 2;
  s.analogChannels = 2;
  s.analogRatio = 2;
  s.events = {{"HS", 0.5f, 1}};
  c3dbuilder::AddStandardParameters(s, {"LASI", "RASI"}, {"EMG1", "EMG2"});
  s.params.push_back(c3dbuilder::StringParam("ANALOG", "UNITS", {"V", "mV"}));
  s.groups.push_back({"FORCE_PLATFORM", "Force plates", false});
  c3dbuilder::Param corners =
      c3dbuilder::NumberParam("FORCE_PLATFORM", "CORNERS", 4, {}, "Plate corners");
  corners.dims = {3, 4};
  for (int i = 0; i < 12; ++i) corners.numbers.push_back(static_cast<float>(i) * 10.0f);
  s.params.push_back(corners);
  s.pointValue = [](int i, int j, int c) -> float {
    if (j == 1 && (i == 3 || i == 4)) return c == 3 ? -1.0f : 0.0f;
    return c == 3 ? 0.0f : static_cast<float>(100 * j + 10 * c + i);
  };
  s.analogValue = [](int i, int sample, int k) -> float {
    return static_cast<float>((k + 1) * (2 * i + sample));
  };
  return s;
}

class ItemDetailsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto bytes = c3dbuilder::Build(PaneSpec());
    testsupport::WriteFile(dir / "pane.c3d", {bytes.begin(), bytes.end()});
    ASSERT_TRUE(doc.OnOpenDocument(dir / "pane.c3d"));
    BuildTree(tree, doc, "pane.c3d");
  }
  CItemDetails Describe(std::uint64_t code, const std::vector<std::uint64_t>& more = {}) {
    std::vector<int> chosen;
    for (std::uint64_t c : more) chosen.push_back(tree.FindByCode(c));
    return DescribeItems(doc.Reader(), doc.Description(), tree, tree.FindByCode(code), chosen);
  }
  int ParamCode(const char* group, const char* name) {
    return 2200 + doc.Reader().paramSet.FindParameter(group, name);
  }

  testsupport::TempDir dir;
  testsupport::RecordingPlatform platform;
  CC3dDoc doc{platform};
  CSelectionTree tree;
};

TEST_F(ItemDetailsTest, HeaderShowsTheGeneralDstHeaderAndTheEvents) {
  const CItemDetails d = Describe(1);
  ASSERT_EQ(d.tables.size(), 2u);
  // Rebuilt as the DST key lines, the table is the export's header block.
  std::vector<CHeaderField> fields;
  for (const auto& row : d.tables[0].rows) fields.push_back({row[0], row[1]});
  EXPECT_EQ(DstKeyLines(fields), doc.Description().dstHeaderLines(doc.Reader()));
  EXPECT_EQ(d.tables[0].rows[1], (std::vector<std::string>{"Number of 3D Points", "2"}));
  ASSERT_EQ(d.tables[1].rows.size(), 1u);
  EXPECT_EQ(d.tables[1].rows[0], (std::vector<std::string>{"HS  ", "", "51", "0.5000"}));
  EXPECT_TRUE(d.series.empty());
}

// The EVENT group's events follow the header's, their times given as
// [minutes, seconds] pairs or as seconds.
TEST(RecordingEventsTest, EventGroupTimesInBothLayouts) {
  c3dbuilder::Spec s = PaneSpec();
  s.groups.push_back({"EVENT", "", false});
  s.params.push_back(c3dbuilder::StringParam("EVENT", "LABELS", {"Foot Strike", "Foot Off"}));
  s.params.push_back(c3dbuilder::StringParam("EVENT", "CONTEXTS", {"Left", "Right"}));
  s.params.push_back(c3dbuilder::NumberParam("EVENT", "USED", 2, {2}));
  c3dbuilder::Param times = c3dbuilder::NumberParam("EVENT", "TIMES", 4, {0, 0.5f, 1, 0.25f});
  times.dims = {2, 2};
  s.params.push_back(times);
  testsupport::TempDir dir;
  testsupport::RecordingPlatform platform;
  auto events = [&](const c3dbuilder::Spec& spec) {
    const auto bytes = c3dbuilder::Build(spec);
    testsupport::WriteFile(dir / "e.c3d", {bytes.begin(), bytes.end()});
    CC3dDoc doc{platform};
    EXPECT_TRUE(doc.OnOpenDocument(dir / "e.c3d"));
    return RecordingEvents(doc.Reader(), doc.Description());
  };
  std::vector<CRecordingEvent> e = events(s);
  ASSERT_EQ(e.size(), 3u);
  EXPECT_TRUE(e[0].fromHeader);
  EXPECT_EQ(e[1].label, "Foot Strike");
  EXPECT_EQ(e[1].context, "Left");
  EXPECT_EQ(e[1].frame, 51);  // 0.5 s at 100 Hz, time 0 being frame 1
  EXPECT_EQ(e[2].context, "Right");
  EXPECT_DOUBLE_EQ(e[2].time, 60.25);
  EXPECT_EQ(e[2].frame, 6026);
  // Seconds alone.
  s.params.back() = c3dbuilder::NumberParam("EVENT", "TIMES", 4, {0.07f, 0.5f});
  e = events(s);
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[1].frame, 8);
  EXPECT_EQ(e[2].frame, 51);
}

TEST_F(ItemDetailsTest, GroupsAndParametersAsTables) {
  const CItemDetails group = Describe(2100 + 2);  // FORCE_PLATFORM
  ASSERT_EQ(group.tables.size(), 1u);
  ASSERT_EQ(group.tables[0].rows.size(), 1u);
  EXPECT_EQ(group.tables[0].rows[0],
            (std::vector<std::string>{"CORNERS", "FLOAT", "[3,4]",
                                      "0 10 20 30 40 50 ... (12 values)", "Plate corners", "No"}));

  // CHAR: one row per string.
  const CItemDetails labels = Describe(ParamCode("POINT", "LABELS"));
  ASSERT_EQ(labels.tables.size(), 2u);
  EXPECT_EQ(labels.tables[0].rows[2], (std::vector<std::string>{"Type", "CHAR"}));
  EXPECT_EQ(labels.tables[1].rows, (std::vector<std::vector<std::string>>{{"LASI"}, {"RASI"}}));

  // Two dimensions: the first across, one row per index of the second.
  const CItemDetails corners = Describe(ParamCode("FORCE_PLATFORM", "CORNERS"));
  const CDetailsTable& grid = corners.tables[1];
  EXPECT_EQ(grid.columns, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(grid.rowTitles, (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(grid.rows[2], (std::vector<std::string>{"60", "70", "80"}));
}

TEST_F(ItemDetailsTest, ChannelsAndPointsWithTheirCurves) {
  const CItemDetails channel = Describe(3101);
  ASSERT_EQ(channel.tables.size(), 1u);
  const auto& rows = channel.tables[0].rows;
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Label", "EMG2"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"Unit", "mV"}));
  EXPECT_EQ(rows[6], (std::vector<std::string>{"Rate", "200 Hz"}));
  EXPECT_EQ(rows[7], (std::vector<std::string>{"Raw range", "0 to 30"}));
  ASSERT_EQ(channel.series.size(), 1u);
  const CPlotSeries& s = channel.series[0];
  EXPECT_EQ(s.count, 16u);
  EXPECT_DOUBLE_EQ(s.X(5), 2.5);                      // sample 1 of frame index 2
  EXPECT_FLOAT_EQ(s.Value(5), 10.0f * 0.5f * 0.01f);  // scaled as the exports scale

  // A point and a channel chosen together: x, y, z of the point, then the
  // channel, in tree order; the lost frames are gaps.
  const CItemDetails both = Describe(3201, {3100});
  ASSERT_EQ(both.series.size(), 4u);
  EXPECT_EQ(both.series[0].name, "EMG1");
  EXPECT_EQ(both.series[3].name, "RASI z");
  const CPlotSeries& z = both.series[3];
  EXPECT_TRUE(z.Valid(2));
  EXPECT_FALSE(z.Valid(3));
  EXPECT_FALSE(z.Valid(4));
  EXPECT_FLOAT_EQ(z.Value(5), (100 + 20 + 5) * 0.1f);
  const std::vector<CEnvelopeColumn> env = ComputeEnvelope(z, 0.0, 8.0, 8);
  EXPECT_TRUE(env[2].valid);
  EXPECT_FALSE(env[3].valid);
  EXPECT_FALSE(env[4].valid);
}

TEST(PlotEnvelopeTest, EachColumnHoldsTheMinimumAndMaximumOfItsSamples) {
  // 600000 float samples, 10 per frame, over 1000 columns and over a zoomed
  // part whose columns hold 2.5 frames each.
  CRecording rec;
  rec.integerData = false;
  rec.analogRatio = 10;
  rec.analog.resize(1);
  CSampleBuffer& b = rec.analog[0].samples;
  ASSERT_TRUE(b.Allocate(600000, false));
  std::uint32_t seed = 12345;
  for (std::size_t i = 0; i < b.Size(); ++i) {
    seed = seed * 1103515245u + 12345u;
    b.Floats()[i] = static_cast<float>(seed >> 8) / 65536.0f - 128.0f;
  }
  CFormatDescription format{};
  format.allAnalogSamples = true;
  format.analogScalable = false;
  const CPlotSeries s = ChannelSeries(rec, format, 0, "noise");
  struct View {
    double x0, x1;
    int columns;
  };
  for (const View v : {View{0.0, 60000.0, 1000}, View{1000.0, 1250.0, 100}}) {
    const std::vector<CEnvelopeColumn> env = ComputeEnvelope(s, v.x0, v.x1, v.columns);
    ASSERT_EQ(env.size(), static_cast<std::size_t>(v.columns));
    const double perColumn = (v.x1 - v.x0) / v.columns * 10.0;  // samples
    for (int c = 0; c < v.columns; ++c) {
      const auto first = static_cast<std::size_t>(v.x0 * 10.0 + c * perColumn);
      const auto last = static_cast<std::size_t>(v.x0 * 10.0 + (c + 1) * perColumn);
      const auto [lo, hi] = std::minmax_element(b.Floats() + first, b.Floats() + last);
      ASSERT_TRUE(env[c].valid);
      ASSERT_EQ(env[c].lo, *lo) << c;
      ASSERT_EQ(env[c].hi, *hi) << c;
    }
  }
}

}  // namespace
