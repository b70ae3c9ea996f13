// The details pane beside a document's tree: what it shows as the current
// item moves, several channels plotted together, Space on the tree, and a
// Shift-drag on the plot that sets the frame range the next Save exports.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>
#include <QWheelEvent>
#include <cstdlib>

#include "GuiTestSupport.h"
#include "c3dbuilder/C3dBuilder.h"
#include "gui/ChildFrame.h"
#include "gui/DetailsPane.h"
#include "gui/SignalPlot.h"
#include "gui/TreeModel.h"

namespace {

using guitest::TestApp;

class DetailsPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<TestApp>(dir.path());
    frame = std::make_unique<CMainFrame>(app->app());
    frame->resize(1200, 800);
    frame->show();
    // 40 frames at 50 Hz, 4 samples per frame; point RASI lost in frames 11
    // to 15; a 2 x 3 FLOAT parameter.
    c3dbuilder::Spec s;
    s.frames = 40;
    s.frameRate = 50.0f;
    s.points = 2;
    s.analogChannels = 2;
    s.analogRatio = 4;
    s.events = {{"TO", 0.1f, 1}};
    c3dbuilder::AddStandardParameters(s, {"LASI", "RASI"}, {"EMG1", "EMG2"});
    s.groups.push_back({"FORCE_PLATFORM", "", false});
    c3dbuilder::Param origin =
        c3dbuilder::NumberParam("FORCE_PLATFORM", "ORIGIN", 4, {1, 2, 3, 4, 5, 6}, "Plate origins");
    origin.dims = {3, 2};
    s.params.push_back(origin);
    s.pointValue = [](int i, int j, int c) -> float {
      if (j == 1 && i >= 10 && i < 15) return c == 3 ? -1.0f : 0.0f;
      return c == 3 ? 0.0f : static_cast<float>(j * 100 + c * 10 + i);
    };
    const auto bytes = c3dbuilder::Build(s);
    input = dir / "walk.c3d";
    testsupport::WriteFile(input, {bytes.begin(), bytes.end()});
    child = frame->OpenDocumentFile(QString::fromStdString(input.string()));
    ASSERT_NE(child, nullptr);
    child->View()->expandAll();
  }
  void TearDown() override {
    frame.reset();
    app.reset();
  }

  QModelIndex IndexOf(std::uint64_t code) {
    return child->Model()->IndexOfItem(child->Tree().FindByCode(code));
  }
  void MakeCurrent(std::uint64_t code) { child->View()->setCurrentIndex(IndexOf(code)); }
  QString Cell(int table, int row, int column) {
    const QTableWidgetItem* item = child->Pane()->Table(table)->item(row, column);
    return item != nullptr ? item->text() : QString();
  }
  int ParamCode(const char* group, const char* name) {
    return 2200 + child->Document().Reader().paramSet.FindParameter(group, name);
  }

  testsupport::TempDir dir;
  std::unique_ptr<TestApp> app;
  std::unique_ptr<CMainFrame> frame;
  std::filesystem::path input;
  CChildFrame* child = nullptr;
};

TEST_F(DetailsPaneTest, FollowsTheCurrentItem) {
  CDetailsPane* pane = child->Pane();
  MakeCurrent(1);
  EXPECT_EQ(pane->Title()->text(), "Header Information");
  ASSERT_EQ(pane->TableCount(), 2);
  EXPECT_EQ(Cell(0, 1, 0), "Number of 3D Points");
  EXPECT_EQ(Cell(0, 1, 1), "2");
  EXPECT_EQ(Cell(0, 9, 1), "50.000");
  EXPECT_EQ(pane->Caption(1)->text(), "Events");
  EXPECT_EQ(Cell(1, 0, 0), "TO  ");
  EXPECT_EQ(Cell(1, 0, 2), "6");  // after the context column
  EXPECT_FALSE(pane->Plot()->isVisibleTo(pane));

  MakeCurrent(2101);  // ANALOG
  EXPECT_EQ(pane->Title()->text(), "ANALOG");
  ASSERT_EQ(pane->TableCount(), 1);
  EXPECT_EQ(Cell(0, 1, 0), "LABELS");
  EXPECT_EQ(Cell(0, 1, 3), "\"EMG1\" \"EMG2\"");

  MakeCurrent(ParamCode("ANALOG", "LABELS"));  // a CHAR: one row per string
  ASSERT_EQ(pane->TableCount(), 2);
  EXPECT_EQ(pane->Table(1)->rowCount(), 2);
  EXPECT_EQ(Cell(1, 1, 0), "EMG2");

  MakeCurrent(ParamCode("FORCE_PLATFORM", "ORIGIN"));  // 3 across, 2 down
  EXPECT_EQ(pane->Table(1)->columnCount(), 3);
  EXPECT_EQ(pane->Table(1)->rowCount(), 2);
  EXPECT_EQ(Cell(1, 1, 2), "6");

  // Arrow keys move the current item and the pane with it.
  MakeCurrent(3100);
  EXPECT_EQ(pane->Title()->text(), "EMG1");
  QTest::keyClick(child->View(), Qt::Key_Down);
  EXPECT_EQ(pane->Title()->text(), "EMG2");
  EXPECT_EQ(Cell(0, 0, 1), "EMG2");
  EXPECT_EQ(Cell(0, 6, 1), "200 Hz");
  ASSERT_TRUE(pane->Plot()->isVisibleTo(pane));
  ASSERT_EQ(pane->Plot()->Series().size(), 1u);
  EXPECT_EQ(pane->Plot()->Series()[0].count, 160u);

  MakeCurrent(3201);
  EXPECT_EQ(Cell(0, 0, 1), "RASI");
  EXPECT_EQ(Cell(0, 3, 1), "1");  // first valid frame
  ASSERT_EQ(pane->Plot()->Series().size(), 3u);
  EXPECT_EQ(pane->Plot()->Series()[2].name, "RASI z");
  EXPECT_FALSE(pane->Plot()->Series()[2].Valid(12));
}

// Older systems wrote their labels in Latin-1; newer ones in UTF-8. Both
// read as the letters they are, in the tree and in the pane.
TEST_F(DetailsPaneTest, Latin1AndUtf8LabelsBothShowTheirLetters) {
  c3dbuilder::Spec s;
  s.frames = 5;
  s.analogChannels = 2;
  // The hex escapes end before the next letter: "\xFCf" would be one escape.
  const std::string latin1Bytes = std::string("re. H\xFC") + "fte";
  const std::string utf8Bytes = std::string("li. H\xC3\xBC") + "fte";
  c3dbuilder::AddStandardParameters(s, {}, {latin1Bytes, utf8Bytes});
  const auto bytes = c3dbuilder::Build(s);
  const std::filesystem::path file = dir / "hip.c3d";
  testsupport::WriteFile(file, {bytes.begin(), bytes.end()});
  child = frame->OpenDocumentFile(QString::fromStdString(file.string()));
  ASSERT_NE(child, nullptr);
  child->View()->expandAll();
  const QString latin1 = QStringLiteral("re. H\u00FCfte");
  const QString utf8 = QStringLiteral("li. H\u00FCfte");
  EXPECT_EQ(IndexOf(3100).data().toString().trimmed(), latin1);
  EXPECT_EQ(IndexOf(3101).data().toString().trimmed(), utf8);
  MakeCurrent(3100);
  EXPECT_EQ(child->Pane()->Title()->text().trimmed(), latin1);
  EXPECT_EQ(Cell(0, 0, 1).trimmed(), latin1);
  MakeCurrent(3101);
  EXPECT_EQ(child->Pane()->Title()->text().trimmed(), utf8);
  EXPECT_EQ(Cell(0, 0, 1).trimmed(), utf8);
}

// Ctrl+C on a table copies its selected rows, not just the current cell:
// one tab-separated line per row, in the order shown.
TEST_F(DetailsPaneTest, CtrlCCopiesTheSelectedRowsAsTabSeparatedLines) {
  MakeCurrent(1);
  QTableWidget* table = child->Pane()->Table(0);
  table->selectRow(3);
  table->selectionModel()->select(table->model()->index(1, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  QGuiApplication::clipboard()->clear();
  // Shortcuts reach only the focus widget of the active window.
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  table->setFocus();
  QTest::keySequence(table, QKeySequence::Copy);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), Cell(0, 1, 0) + "\t" + Cell(0, 1, 1) + "\n" +
                                                      Cell(0, 3, 0) + "\t" + Cell(0, 3, 1) + "\n");
  EXPECT_EQ(Cell(0, 1, 0), "Number of 3D Points");
}

TEST_F(DetailsPaneTest, ChosenChannelsArePlottedTogetherAndSpaceTogglesTheCheckMark) {
  QTreeView* view = child->View();
  MakeCurrent(3100);
  view->selectionModel()->select(IndexOf(3201), QItemSelectionModel::Select);
  const auto& series = child->Pane()->Plot()->Series();
  ASSERT_EQ(series.size(), 4u);
  EXPECT_EQ(series[0].name, "EMG1");
  EXPECT_EQ(series[1].name, "RASI x");

  // Space: the current item's check mark, as a double-click.
  const std::string before = child->Document().Selection().analog;
  QTest::keyClick(view, Qt::Key_Space);
  EXPECT_EQ(child->Document().Selection().analog, "0" + before.substr(1));
  EXPECT_EQ(IndexOf(3100).data(CTreeModel::ImageRole).toInt(), kImageUnchecked);
  QTest::keyClick(view, Qt::Key_Space);
  EXPECT_EQ(child->Document().Selection().analog, before);
}

TEST_F(DetailsPaneTest, PlotZoomsAndPans) {
  MakeCurrent(3100);
  CSignalPlot* plot = child->Pane()->Plot();
  plot->resize(800, 300);
  const int y = plot->PlotArea().center().y();
  const double pixel = 40.0 / plot->PlotArea().width();  // frames per pixel before zooming
  // One wheel notch at frame position 10 keeps 10 under the cursor.
  const QPointF at(plot->PixelOf(10.0), y);
  QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(plot, &wheel);
  EXPECT_NEAR(plot->ViewX0(), 2.0, 1e-9);
  EXPECT_NEAR(plot->ViewX1(), 34.0, 1e-9);
  // A left drag zooms to the dragged stretch of time.
  const QPoint from(qRound(plot->PixelOf(12.0)), y);
  const QPoint to(qRound(plot->PixelOf(20.0)), y);
  QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, to);
  EXPECT_NEAR(plot->ViewX0(), 12.0, pixel);
  EXPECT_NEAR(plot->ViewX1(), 20.0, pixel);
  EXPECT_EQ(child->Document().Selection().rangeFirst, 1);  // the range stays
  // A right drag of a quarter of the width moves a quarter of the view.
  const double x0 = plot->ViewX0();
  const int quarter = plot->PlotArea().width() / 4;
  QTest::mousePress(plot, Qt::RightButton, Qt::NoModifier, QPoint(400, y));
  QTest::mouseMove(plot, QPoint(400 - quarter, y));
  QTest::mouseRelease(plot, Qt::RightButton, Qt::NoModifier, QPoint(400 - quarter, y));
  EXPECT_NEAR(plot->ViewX0(), x0 + (plot->ViewX1() - plot->ViewX0()) / 4, 0.05);
  QTest::mouseDClick(plot, Qt::LeftButton, Qt::NoModifier, QPoint(400, y));
  EXPECT_EQ(plot->ViewX0(), 0.0);
  EXPECT_EQ(plot->ViewX1(), 40.0);
}

// A channel and a point drawn together each get a value axis of their own
// (volts beside millimetres would leave one of them flat), and a zoom of the
// values takes both.
TEST_F(DetailsPaneTest, ChannelsAndPointsTogetherHaveAnAxisEach) {
  MakeCurrent(3100);
  child->View()->selectionModel()->select(IndexOf(3200), QItemSelectionModel::Select);
  CSignalPlot* plot = child->Pane()->Plot();
  plot->resize(800, 300);
  ASSERT_EQ(plot->Series().size(), 4u);
  ASSERT_TRUE(plot->HasRightAxis());
  plot->grab();  // values are fitted when drawn
  const auto spanOf = [](const std::vector<CPlotSeries>& series, bool points) {
    double lo = 1e300, hi = -1e300;
    for (const CPlotSeries& s : series) {
      if (s.point != points) continue;
      for (std::size_t i = 0; i < s.count; ++i) {
        lo = std::min<double>(lo, s.Value(i));
        hi = std::max<double>(hi, s.Value(i));
      }
    }
    return std::pair(lo, hi);
  };
  for (int axis = 0; axis < 2; ++axis) {
    const auto [lo, hi] = spanOf(plot->Series(), axis == 1);
    const double pad = (hi - lo) * 0.05;
    EXPECT_NEAR(plot->ViewY0(axis), lo - pad, 1e-6) << "axis " << axis;
    EXPECT_NEAR(plot->ViewY1(axis), hi + pad, 1e-6) << "axis " << axis;
  }
  // A rubber band over the middle half of the height halves both.
  const double before[2] = {plot->ViewY1(0) - plot->ViewY0(0), plot->ViewY1(1) - plot->ViewY0(1)};
  const QRect area = plot->PlotArea();
  QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier,
                    QPoint(area.left() + 10, area.top() + area.height() / 4));
  QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier,
                      QPoint(area.right() - 10, area.top() + area.height() * 3 / 4));
  for (int axis = 0; axis < 2; ++axis) {
    EXPECT_NEAR((plot->ViewY1(axis) - plot->ViewY0(axis)) / before[axis], 0.5, 0.02);
  }
  // Points alone share the one axis again.
  MakeCurrent(3200);
  EXPECT_FALSE(plot->HasRightAxis());
}

TEST_F(DetailsPaneTest, ShiftDragSetsTheFrameRangeThatSaveExports) {
  MakeCurrent(3100);
  CSignalPlot* plot = child->Pane()->Plot();
  plot->resize(800, 300);
  ASSERT_EQ(plot->ViewX0(), 0.0);
  ASSERT_EQ(plot->ViewX1(), 40.0);
  // From inside frame index 9 to inside frame index 19: frames 10 to 20.
  const int y = plot->PlotArea().center().y();
  const QPoint from(qRound(plot->PixelOf(9.5)), y);
  const QPoint to(qRound(plot->PixelOf(19.5)), y);
  QTest::mousePress(plot, Qt::LeftButton, Qt::ShiftModifier, from);
  QTest::mouseMove(plot, to);
  QTest::mouseRelease(plot, Qt::LeftButton, Qt::ShiftModifier, to);
  EXPECT_EQ(child->Document().Selection().rangeFirst, 10);
  EXPECT_EQ(child->Document().Selection().rangeLast, 20);
  // The view did not zoom.
  EXPECT_EQ(plot->ViewX1(), 40.0);

  child->OnFileSave();
  const std::string dst = testsupport::ReadFileText(dir / "walk.dst");
  // Channel EMG1: 11 frames of 4 samples; point LASI: 11 frames.
  const std::size_t emg = dst.find("!EMG1-1\n");
  ASSERT_NE(emg, std::string::npos);
  const std::size_t next = dst.find('!', emg + 1);
  const std::string section = dst.substr(emg, next - emg);
  EXPECT_EQ(std::count(section.begin(), section.end(), '\n'), 1 + 11 * 4);
}

}  // namespace

namespace {

// Pictures of the pane for a look by eye, not a check: run with
// --gtest_also_run_disabled_tests; they go to $KX_PANE_SHOTS (default
// /tmp/pane-shots).
TEST(DetailsPaneShots, DISABLED_WritePictures) {
  KX_REQUIRE_SHARED_DATA();
  testsupport::TempDir dir;
  TestApp app(dir.path());
  CMainFrame frame(app.app());
  frame.resize(1400, 900);
  frame.show();
  const char* env = std::getenv("KX_PANE_SHOTS");
  const std::filesystem::path out = env != nullptr ? env : "/tmp/pane-shots";
  std::filesystem::create_directories(out);
  auto shoot = [&](const std::filesystem::path& file, std::uint64_t code,
                   std::vector<std::uint64_t> more, const char* name, bool range = false) {
    CChildFrame* child = frame.OpenDocumentFile(QString::fromStdString(file.string()));
    ASSERT_NE(child, nullptr) << file;
    child->showMaximized();
    child->View()->expandAll();
    const auto index = [&](std::uint64_t c) {
      return child->Model()->IndexOfItem(child->Tree().FindByCode(c));
    };
    child->View()->setCurrentIndex(index(code));
    for (std::uint64_t c : more) {
      child->View()->selectionModel()->select(index(c), QItemSelectionModel::Select);
    }
    if (range) {
      // Frames 100 to 300 shaded, the cursor in the middle of the plot.
      child->SetFrameRange(100, 300);
      CSignalPlot* plot = child->Pane()->Plot();
      QTest::mouseMove(plot, plot->PlotArea().center());
    }
    QApplication::processEvents();
    ASSERT_TRUE(child->Pane()->grab().save(QString::fromStdString((out / name).string())));
  };
  const std::filesystem::path gait = testsupport::SharedDataDir() / "c3d" / "Gait.c3d";
  const std::filesystem::path codas = testsupport::SharedDataDir() / "codas" / "20190923-T1.WDQ";
  shoot(gait, 1, {}, "gait-header.png");
  shoot(gait, 2224, {}, "gait-forceplate-corners.png");  // FORCE_PLATFORM:CORNERS
  shoot(gait, 3115, {}, "gait-emg-rvas.png");
  shoot(gait, 3200, {}, "gait-marker.png");
  shoot(gait, 3112, {3113, 3114}, "gait-emg-three.png");
  shoot(gait, 3112, {3200}, "gait-range-cursor.png", true);
  shoot(codas, 1, {}, "codas-header.png");
  shoot(codas, 31000, {}, "codas-channel.png");
  const std::filesystem::path walk = testsupport::SharedDataDir() / "c3d" / "FunctionalWalk.c3d";
  shoot(walk, 1, {}, "walk-header-events.png");
  shoot(walk, 3101, {}, "walk-plate-force.png");
  shoot(testsupport::SharedDataDir() / "bts" / "1123xa01.EMG", 31001, {}, "bts-channel.png");
  // The whole window: menus, tree and pane together.
  frame.resize(1280, 800);
  frame.show();
  QApplication::processEvents();
  ASSERT_TRUE(frame.grab().save(QString::fromStdString((out / "window.png").string())));
}

}  // namespace
