#include "documents/DocumentTree.h"

#include <gtest/gtest.h>

#include "c3dbuilder/C3dBuilder.h"
#include "documents/C3dDoc.h"
#include "support/TestSupport.h"

namespace {

// A C3D file whose "Point" group has 10 labels for 12 points.
std::filesystem::path WriteTrial(const std::filesystem::path& dir) {
  c3dbuilder::Spec s;
  s.frames = 10;
  s.points = 12;
  s.analogChannels = 2;
  std::vector<std::string> labels;
  for (int i = 0; i < 10; ++i) labels.push_back("M" + std::to_string(i));
  c3dbuilder::AddStandardParameters(s, labels, {"EMG1", "EMG2"});
  const auto bytes = c3dbuilder::Build(s);
  const std::filesystem::path p = dir / "trial.c3d";
  testsupport::WriteFile(p, {bytes.begin(), bytes.end()});
  return p;
}

TEST(DocumentTreeTest, BuildsOnceAfterOpenAndEditsTheDocument) {
  testsupport::TempDir dir;
  testsupport::RecordingPlatform platform;
  CC3dDoc doc(platform);
  CSelectionTree tree;
  EXPECT_FALSE(UpdateTree(tree, doc, "trial.c3d"));  // not loaded yet
  ASSERT_TRUE(doc.OnOpenDocument(WriteTrial(dir.path())));
  ASSERT_TRUE(UpdateTree(tree, doc, "trial.c3d"));
  EXPECT_EQ(doc.treeOutdated, 0);
  EXPECT_FALSE(UpdateTree(tree, doc, "trial.c3d"));

  EXPECT_EQ(tree.Item(0).text, "trial.c3d");
  const CTreeItem& marker = tree.Item(tree.FindByCode(32));
  ASSERT_EQ(marker.children.size(), 12u);
  EXPECT_EQ(tree.Item(marker.children[9]).text, "M9");
  EXPECT_EQ(tree.Item(marker.children[10]).text, "Marker 11");
  EXPECT_EQ(tree.Item(marker.children[11]).text, "Marker 12");
  EXPECT_EQ(tree.Item(tree.FindByCode(3101)).text, "EMG2");

  // The document's states follow a double-click, and so do the images.
  EXPECT_EQ(OnTreeDblclk(tree, doc, tree.FindByCode(3101)), ToggleEffect::Selection);
  EXPECT_EQ(doc.Selection().analog, "10");
  EXPECT_EQ(doc.States().analog, 2);
  EXPECT_EQ(doc.States().data, 2);
  EXPECT_EQ(tree.Item(tree.FindByCode(31)).image, kImagePartial);
  EXPECT_EQ(OnTreeDblclk(tree, doc, 0), ToggleEffect::None);
  EXPECT_EQ(OnTreeDblclk(tree, doc, tree.FindByCode(1)), ToggleEffect::Header);
  EXPECT_EQ(tree.Item(tree.FindByCode(1)).image, doc.Selection().header);
}

TEST(DocumentTreeTest, PointsPast255AreNamedFromTheLabelContinuation) {
  // 300 points: POINT:LABELS holds the first 255 names, LABELS2 the rest.
  testsupport::TempDir dir;
  c3dbuilder::Spec s;
  s.frames = 2;
  s.points = 300;
  std::vector<std::string> first, rest;
  for (int j = 1; j <= 300; ++j) (j <= 255 ? first : rest).push_back("P" + std::to_string(j));
  c3dbuilder::AddStandardParameters(s, first, {});
  s.params.push_back(c3dbuilder::StringParam("POINT", "LABELS2", rest));
  const auto bytes = c3dbuilder::Build(s);
  testsupport::WriteFile(dir / "many.c3d", {bytes.begin(), bytes.end()});

  testsupport::RecordingPlatform platform;
  CC3dDoc doc(platform);
  ASSERT_TRUE(doc.OnOpenDocument(dir / "many.c3d"));
  CSelectionTree tree;
  BuildTree(tree, doc, "many.c3d");
  const CTreeItem& marker = tree.Item(tree.FindByCode(32));
  ASSERT_EQ(marker.children.size(), 300u);
  EXPECT_EQ(tree.Item(marker.children[254]).text, "P255");
  EXPECT_EQ(tree.Item(marker.children[255]).text, "P256");
  EXPECT_EQ(tree.Item(marker.children[299]).text, "P300");
  // The exports name them the same way.
  ASSERT_GT(doc.ExportDst(dir / "many.dst"), 0u);
  const std::string dst = testsupport::ReadFileText(dir / "many.dst");
  EXPECT_NE(dst.find("!P256-"), std::string::npos);
  EXPECT_NE(dst.find("!P300-"), std::string::npos);
  EXPECT_EQ(dst.find("Marker_256"), std::string::npos);
}

}  // namespace
