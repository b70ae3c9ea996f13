#include "documents/TreeItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "formats/c3d/C3d.h"
#include "platform/Text.h"
#include "support/TestSupport.h"

namespace {

const CTreeLayout kC3dLayout{true, "31%02d", "Channel %02d"};
const CTreeLayout kOtherLayout{false, "31%03d", "Channel %03d"};

// A recording with groups POINT (2 parameters) and ANALOG (1 parameter),
// `channels` analog channels and `points` 3D points, no labels.
void Fill(CRecording& r, int channels, int points) {
  r.paramSet.AddGroup("POINT", "", -1);
  r.paramSet.AddGroup("ANALOG", "", -2);
  r.paramSet.AddScalarParam(1, "USED", "", kParamInt, static_cast<float>(points));
  r.paramSet.AddScalarParam(2, "USED", "", kParamInt, static_cast<float>(channels));
  r.paramSet.AddScalarParam(1, "RATE", "", kParamFloat, 50.0f);
  r.analog.resize(static_cast<std::size_t>(channels));
  r.points.resize(static_cast<std::size_t>(points));
}

void AddLabels(CRecording& r, int group, int n) {
  CParam& labels = r.paramSet.AddStringParam(group, "LABELS", "", n);
  for (int i = 0; i < n; ++i) labels.strings[static_cast<std::size_t>(i)] = Format("L%d", i);
  CParamSet::FinishStringParam(labels);
}

CExportSelection AllSelected(const CRecording& r) {
  CExportSelection s;
  s.groups.assign(r.paramSet.groups.size(), '1');
  s.params.assign(r.paramSet.params.size(), '1');
  s.analog.assign(r.analog.size(), '1');
  s.points.assign(r.points.size(), '1');
  return s;
}

// Builds with the states of the selection, as a document does.
void Build(CSelectionTree& t, const CRecording& r, const CTreeLayout& layout,
           const std::string& title, const CExportSelection& sel) {
  t.Build(r, layout, title, sel, ComputeSelectionStates(sel));
}

// The double-click followed by what the document does after it.
ToggleEffect DoubleClick(CSelectionTree& t, int id, CExportSelection& sel) {
  const ToggleEffect effect = t.Toggle(id, sel);
  t.RefreshImages(sel, ComputeSelectionStates(sel));
  return effect;
}

std::vector<std::string> ChildTexts(const CSelectionTree& t, int id) {
  std::vector<std::string> texts;
  for (int c : t.Item(id).children) texts.push_back(t.Item(c).text);
  return texts;
}

int ImageOf(const CSelectionTree& t, std::uint64_t code) {
  const int id = t.FindByCode(code);
  return id < 0 ? -1 : t.Item(id).image;
}

TEST(TreeItemsTest, CodesReadBackByPosition) {
  EXPECT_EQ(DecodeItemCode(0).branch, 0);
  EXPECT_EQ(DecodeItemCode(2).kind, -1);
  EXPECT_EQ(DecodeItemCode(31).kind, 1);
  EXPECT_EQ(DecodeItemCode(31).index, -1);
  EXPECT_EQ(DecodeItemCode(2105).index, 5);
  EXPECT_EQ(DecodeItemCode(22105).kind, 2);
  EXPECT_EQ(DecodeItemCode(22105).index, 105);
  EXPECT_EQ(DecodeItemCode(31000).index, 0);
}

TEST(TreeItemsTest, StatesOfFlagStrings) {
  EXPECT_EQ(SelectionState(""), 1);
  EXPECT_EQ(SelectionState("111"), 1);
  EXPECT_EQ(SelectionState("000"), 0);
  EXPECT_EQ(SelectionState("010"), 2);
  EXPECT_EQ(SelectionState("11", "0"), 2);
  EXPECT_EQ(SelectionState("", "00"), 0);

  CExportSelection s;
  s.analog = "1111";
  s.points = "000";
  const CSelectionStates st = ComputeSelectionStates(s);
  EXPECT_EQ(st.data, 2);
  EXPECT_EQ(st.analog, 1);
  EXPECT_EQ(st.points, 0);
}

TEST(TreeItemsTest, BuildsBranchesCodesTextsAndImages) {
  CRecording r;
  Fill(r, 2, 3);
  CExportSelection sel = AllSelected(r);
  sel.params[2] = '0';
  sel.points = "010";
  CSelectionTree t;
  Build(t, r, kC3dLayout, "walk.c3d", sel);

  const CTreeItem& root = t.Item(0);
  EXPECT_EQ(root.text, "walk.c3d");
  EXPECT_EQ(root.code, 0u);
  EXPECT_EQ(root.image, kImagePage);
  EXPECT_EQ(ChildTexts(t, 0),
            (std::vector<std::string>{"Header Information", "Parameters", "Data"}));
  EXPECT_EQ(ImageOf(t, 1), kImageChecked);
  EXPECT_EQ(ImageOf(t, 2), kImagePartial);

  // Parameters listed under their group, in list order.
  const int point = t.FindByCode(2100);
  ASSERT_GE(point, 0);
  EXPECT_EQ(t.Item(point).text, "POINT");
  EXPECT_EQ(ChildTexts(t, point), (std::vector<std::string>{"USED", "RATE"}));
  EXPECT_EQ(t.Item(t.Item(point).children[1]).code, 2202u);
  EXPECT_EQ(ImageOf(t, 2202), kImageUnchecked);
  EXPECT_EQ(ChildTexts(t, t.FindByCode(2101)), (std::vector<std::string>{"USED"}));

  EXPECT_EQ(ChildTexts(t, t.FindByCode(3)), (std::vector<std::string>{"Analog", "Marker"}));
  EXPECT_EQ(ImageOf(t, 3), kImagePartial);
  EXPECT_EQ(ImageOf(t, 31), kImageChecked);
  EXPECT_EQ(ImageOf(t, 32), kImagePartial);
  EXPECT_EQ(ChildTexts(t, t.FindByCode(31)),
            (std::vector<std::string>{"Channel 01", "Channel 02"}));
  EXPECT_EQ(ChildTexts(t, t.FindByCode(32)),
            (std::vector<std::string>{"Marker 01", "Marker 02", "Marker 03"}));
  EXPECT_EQ(ImageOf(t, 3201), kImageChecked);
  EXPECT_EQ(ImageOf(t, 3202), kImageUnchecked);
  for (int id = 0; id < t.Count(); ++id) {
    const CTreeItem& item = t.Item(id);
    if (item.parent >= 0) {
      EXPECT_EQ(t.Item(item.parent).children[item.row], id);
    }
  }
}

TEST(TreeItemsTest, LabelsNameItemsOnlyAsFarAsTheyReach) {
  CRecording r;
  Fill(r, 3, 12);
  AddLabels(r, 1, 10);  // Point:Labels, 10 strings for 12 points
  CParam& analogLabels = r.paramSet.AddArrayParam(2, "Labels", "", kParamInt, 3);  // not CHAR
  (void)analogLabels;
  CSelectionTree t;
  Build(t, r, kC3dLayout, "t", AllSelected(r));
  const auto points = ChildTexts(t, t.FindByCode(32));
  ASSERT_EQ(points.size(), 12u);
  EXPECT_EQ(points[0], "L0");
  EXPECT_EQ(points[9], "L9");
  EXPECT_EQ(points[10], "Marker 11");
  EXPECT_EQ(points[11], "Marker 12");
  EXPECT_EQ(ChildTexts(t, t.FindByCode(31)),
            (std::vector<std::string>{"Channel 01", "Channel 02", "Channel 03"}));
}

TEST(TreeItemsTest, OtherFormatsHaveThreeDigitChannelsAndNoMarkers) {
  CRecording r;
  Fill(r, 2, 0);
  CSelectionTree t;
  Build(t, r, kOtherLayout, "emg.dat", AllSelected(r));
  EXPECT_EQ(ChildTexts(t, t.FindByCode(3)), (std::vector<std::string>{"Analog"}));
  EXPECT_EQ(t.FindByCode(32), -1);
  const int ch = t.FindByCode(31001);
  ASSERT_GE(ch, 0);
  EXPECT_EQ(t.Item(ch).text, "Channel 002");

  CExportSelection sel = AllSelected(r);
  EXPECT_EQ(DoubleClick(t, ch, sel), ToggleEffect::Selection);
  EXPECT_EQ(sel.analog, "10");
}

TEST(TreeItemsTest, ParametersBranchDeselectsFromPartialThenSelectsAll) {
  CRecording r;
  Fill(r, 1, 1);
  CExportSelection sel = AllSelected(r);
  sel.params = "101";
  CSelectionTree t;
  Build(t, r, kC3dLayout, "t", sel);
  const int params = t.FindByCode(2);
  ASSERT_EQ(t.Item(params).image, kImagePartial);

  EXPECT_EQ(DoubleClick(t, params, sel), ToggleEffect::Selection);
  EXPECT_EQ(sel.groups, "00");
  EXPECT_EQ(sel.params, "000");
  EXPECT_EQ(t.Item(params).image, kImageUnchecked);
  EXPECT_EQ(ImageOf(t, 2201), kImageUnchecked);

  DoubleClick(t, params, sel);
  EXPECT_EQ(sel.groups, "11");
  EXPECT_EQ(sel.params, "111");
  EXPECT_EQ(t.Item(params).image, kImageChecked);
  EXPECT_EQ(sel.analog, "1");  // the data branch is untouched
}

TEST(TreeItemsTest, GroupTogglesItsOwnFlagOnly) {
  CRecording r;
  Fill(r, 1, 1);
  CExportSelection sel = AllSelected(r);
  CSelectionTree t;
  Build(t, r, kC3dLayout, "t", sel);
  DoubleClick(t, t.FindByCode(2100), sel);
  EXPECT_EQ(sel.groups, "01");
  EXPECT_EQ(sel.params, "111");
  EXPECT_EQ(ImageOf(t, 2100), kImageUnchecked);
  EXPECT_EQ(ImageOf(t, 2200), kImageChecked);
  EXPECT_EQ(ImageOf(t, 2202), kImageChecked);
  EXPECT_EQ(ImageOf(t, 2), kImagePartial);
}

TEST(TreeItemsTest, RootChangesNothingAndHeaderInverts) {
  CRecording r;
  Fill(r, 1, 1);
  CExportSelection sel = AllSelected(r);
  CSelectionTree t;
  Build(t, r, kC3dLayout, "t", sel);
  const CExportSelection before = sel;
  EXPECT_EQ(DoubleClick(t, 0, sel), ToggleEffect::None);
  EXPECT_EQ(DoubleClick(t, -1, sel), ToggleEffect::None);
  EXPECT_EQ(DoubleClick(t, t.Count(), sel), ToggleEffect::None);
  EXPECT_EQ(sel.groups, before.groups);
  EXPECT_EQ(sel.params, before.params);
  EXPECT_EQ(sel.header, 1);
  EXPECT_EQ(t.Item(0).image, kImagePage);

  EXPECT_EQ(DoubleClick(t, t.FindByCode(1), sel), ToggleEffect::Header);
  EXPECT_EQ(sel.header, 0);
  EXPECT_EQ(ImageOf(t, 1), kImageUnchecked);
  DoubleClick(t, t.FindByCode(1), sel);
  EXPECT_EQ(sel.header, 1);
}

TEST(TreeItemsTest, DataBranchesToggleTheirChannelsAndPoints) {
  CRecording r;
  Fill(r, 2, 2);
  CExportSelection sel = AllSelected(r);
  CSelectionTree t;
  Build(t, r, kC3dLayout, "t", sel);

  DoubleClick(t, t.FindByCode(32), sel);  // the walk's "deselect all markers"
  EXPECT_EQ(sel.points, "00");
  EXPECT_EQ(sel.analog, "11");
  EXPECT_EQ(ImageOf(t, 3), kImagePartial);
  EXPECT_EQ(ImageOf(t, 32), kImageUnchecked);

  DoubleClick(t, t.FindByCode(3), sel);  // partly selected: everything off
  EXPECT_EQ(sel.points, "00");
  EXPECT_EQ(sel.analog, "00");
  DoubleClick(t, t.FindByCode(3), sel);
  EXPECT_EQ(sel.points, "11");
  EXPECT_EQ(sel.analog, "11");

  DoubleClick(t, t.FindByCode(3101), sel);
  EXPECT_EQ(sel.analog, "10");
  EXPECT_EQ(ImageOf(t, 31), kImagePartial);
  DoubleClick(t, t.FindByCode(31), sel);
  EXPECT_EQ(sel.analog, "00");
  DoubleClick(t, t.FindByCode(3200), sel);
  EXPECT_EQ(sel.points, "01");
}

TEST(TreeItemsTest, ParameterIndexAboveNinetyNineKeepsAllItsDigits) {
  CRecording r;
  r.paramSet.AddGroup("BIG", "", -1);
  for (int p = 0; p < 120; ++p) {
    r.paramSet.AddScalarParam(1, Format("P%d", p), "", kParamInt, 0.0f);
  }
  CExportSelection sel = AllSelected(r);
  CSelectionTree t;
  Build(t, r, kC3dLayout, "t", sel);
  const int p105 = t.FindByCode(22105);
  ASSERT_GE(p105, 0);
  EXPECT_EQ(t.Item(p105).text, "P105");
  DoubleClick(t, p105, sel);
  EXPECT_EQ(sel.params[105], '0');
  EXPECT_EQ(std::count(sel.params.begin(), sel.params.end(), '0'), 1);
}

TEST(TreeItemsTest, ShortSelectionNeitherGrowsNorCrashes) {
  CRecording r;
  Fill(r, 3, 3);
  CExportSelection sel;  // empty flag strings, as for a hand-made selection
  CSelectionTree t;
  Build(t, r, kC3dLayout, "t", sel);
  EXPECT_EQ(ImageOf(t, 3102), kImageUnchecked);
  EXPECT_EQ(ImageOf(t, 31), kImageChecked);  // an empty string counts as all
  DoubleClick(t, t.FindByCode(3102), sel);
  DoubleClick(t, t.FindByCode(2201), sel);
  EXPECT_TRUE(sel.analog.empty());
  EXPECT_TRUE(sel.params.empty());
}

TEST(TreeItemsTest, GroupsSharingANumberBothListTheParameters) {
  CRecording r;
  r.paramSet.AddGroup("A", "", -3);
  r.paramSet.AddGroup("B", "", -3);
  r.paramSet.AddScalarParam(3, "X", "", kParamInt, 0.0f);
  r.paramSet.AddScalarParam(9, "ORPHAN", "", kParamInt, 0.0f);
  CSelectionTree t;
  Build(t, r, kC3dLayout, "t", AllSelected(r));
  EXPECT_EQ(ChildTexts(t, t.FindByCode(2100)), (std::vector<std::string>{"X"}));
  EXPECT_EQ(ChildTexts(t, t.FindByCode(2101)), (std::vector<std::string>{"X"}));
  EXPECT_EQ(t.FindByCode(2201), -1);
}

TEST(TreeItemsTest, RealRecordingListsEveryGroupParameterAndChannel) {
  KX_REQUIRE_SHARED_DATA();
  CC3d c3d;
  testsupport::RecordingPlatform platform;
  c3d.SetPlatform(&platform);
  c3d.fileName = testsupport::SharedDataDir() / "c3d" / "Gait.c3d";
  if (!std::filesystem::exists(c3d.fileName)) GTEST_SKIP() << "Gait.c3d absent";
  ASSERT_TRUE(c3d.Open());
  CSelectionTree t;
  Build(t, c3d, kC3dLayout, "Gait.c3d", AllSelected(c3d));
  const int groups = static_cast<int>(t.Item(t.FindByCode(2)).children.size());
  EXPECT_EQ(groups, c3d.paramSet.GroupCount());
  EXPECT_EQ(t.Item(t.FindByCode(31)).children.size(), c3d.analog.size());
  EXPECT_EQ(t.Item(t.FindByCode(32)).children.size(), c3d.points.size());
  const CParam* labels = c3d.paramSet.Find("POINT", "LABELS");
  if (labels != nullptr && labels->type == kParamChar && !c3d.points.empty()) {
    EXPECT_EQ(t.Item(t.FindByCode(3200)).text, labels->GetString(0));
  }
}

}  // namespace
