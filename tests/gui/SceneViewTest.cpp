// The 3-D view, the time bar and the one time cursor of a document window:
// where a marker is drawn, playback at the chosen speed, event ticks that
// move the cursor, the values at the cursor and pictures of the views.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>
#include <cstdlib>

#include "GuiTestSupport.h"
#include "c3dbuilder/C3dBuilder.h"
#include "gui/ChildFrame.h"
#include "gui/DetailsPane.h"
#include "gui/FrameCursor.h"
#include "gui/PictureExport.h"
#include "gui/SceneView.h"
#include "gui/SignalPlot.h"
#include "gui/TimeBar.h"
#include "gui/TreeModel.h"

namespace {

using guitest::TestApp;

class SceneViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<TestApp>(dir.path());
    frame = std::make_unique<CMainFrame>(app->app());
    frame->resize(1400, 900);
    frame->show();
    // 400 frames at 100 Hz; marker 1 still at (0, 100, 0) mm, marker 2
    // moving; a heel strike at 0.5 s (frame 51).
    c3dbuilder::Spec s;
    s.frames = 400;
    s.points = 2;
    s.analogChannels = 1;
    s.events = {{"RHS", 0.5f, 1}};
    c3dbuilder::AddStandardParameters(s, {"STILL", "MOVE"}, {"EMG1"});
    s.pointValue = [](int i, int j, int c) -> float {
      if (c == 3) return 1.0f;
      if (j == 0) return c == 1 ? 1000.0f : 0.0f;
      return static_cast<float>(1000 + 10 * i);
    };
    const auto bytes = c3dbuilder::Build(s);
    const std::filesystem::path input = dir / "walk.c3d";
    testsupport::WriteFile(input, {bytes.begin(), bytes.end()});
    child = frame->OpenDocumentFile(QString::fromStdString(input.string()));
    ASSERT_NE(child, nullptr);
    child->showMaximized();
    child->View()->expandAll();
    ASSERT_NE(child->SceneView(), nullptr);
  }
  void TearDown() override {
    frame.reset();
    app.reset();
  }
  QModelIndex IndexOf(std::uint64_t code) {
    return child->Model()->IndexOfItem(child->Tree().FindByCode(code));
  }

  testsupport::TempDir dir;
  std::unique_ptr<TestApp> app;
  std::unique_ptr<CMainFrame> frame;
  CChildFrame* child = nullptr;
};

TEST_F(SceneViewTest, AMarkerIsDrawnWhereTheCameraProjectsIt) {
  // A view of its own, so that no layout resizes it.
  CSceneView view(child->SceneView()->Scene(), child->Cursor());
  view.resize(200, 200);
  view.show();
  CCamera& camera = view.Camera();
  camera.target = {0, 0, 0};
  camera.azimuth = 0.0f;
  camera.elevation = 0.0f;
  camera.distance = 1000.0f;
  camera.fieldOfView = 90.0f;
  const QImage image = view.grab().toImage();
  // (0, 100, 0) seen from +X: 10 pixels right of the centre.
  const QColor dot = image.pixelColor(110, 100);
  EXPECT_GT(dot.blue(), dot.red() + 60) << dot.name().toStdString();
  EXPECT_EQ(view.MarkerAt(QPointF(110, 100)), 0);
  QSignalSpy clicked(&view, &CSceneView::MarkerClicked);
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(110, 100));
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked.front().front().toInt(), 0);
  // The window makes a clicked marker the tree's current item, and what the
  // tree chooses is highlighted.
  child->ChoosePoint(0, false);
  EXPECT_EQ(child->View()->currentIndex(), IndexOf(3200));
  EXPECT_TRUE(child->SceneView()->Highlighted()[0]);
  EXPECT_FALSE(child->SceneView()->Highlighted()[1]);
}

TEST_F(SceneViewTest, PlaybackMovesTheSharedCursorAtTheChosenSpeed) {
  CFrameCursor* cursor = child->Cursor();
  child->View()->setCurrentIndex(IndexOf(3100));  // a channel: the plot shows
  child->TimeBar()->SpeedBox()->setCurrentIndex(child->TimeBar()->SpeedBox()->findData(2.0));
  cursor->SetPlaying(true);
  ASSERT_TRUE(cursor->Playing());
  cursor->Tick(0.25);  // 50 frames at twice 100 frames per second
  EXPECT_EQ(cursor->Frame(), 51);
  EXPECT_EQ(child->Pane()->Plot()->CursorFrame(), 51);
  // The pane's table of values at the cursor follows it.
  EXPECT_EQ(child->Pane()->CursorTable()->rowCount(), 1);
  QTest::keyClick(child->SceneView(), Qt::Key_Space);
  EXPECT_FALSE(cursor->Playing());
  QTest::keyClick(child->SceneView(), Qt::Key_Right);
  EXPECT_EQ(cursor->Frame(), 52);
}

TEST_F(SceneViewTest, AClickOnAnEventTickJumpsToTheEvent) {
  CFrameCursor* cursor = child->Cursor();
  CTimeTrack* track = child->TimeBar()->Track();
  ASSERT_EQ(track->Events().size(), 1u);
  EXPECT_EQ(track->Events()[0].frame, 51);
  // A few pixels off the tick still lands on the event's own frame.
  QTest::mouseClick(track, Qt::LeftButton, Qt::NoModifier,
                    QPoint(static_cast<int>(track->PixelOf(51)) + 3, track->height() - 6));
  EXPECT_EQ(cursor->Frame(), 51);
  // Elsewhere on the track, the frame under the mouse.
  QTest::mouseClick(track, Qt::LeftButton, Qt::NoModifier,
                    QPoint(static_cast<int>(track->PixelOf(300)), track->height() - 6));
  EXPECT_NEAR(cursor->Frame(), 300, 1);
  // On a plot the same.
  child->View()->setCurrentIndex(IndexOf(3100));
  CSignalPlot* plot = child->Pane()->Plot();
  const int y = plot->PlotArea().center().y();
  QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier,
                    QPoint(static_cast<int>(plot->PixelOf(50)) + 2, y));
  EXPECT_EQ(cursor->Frame(), 51);
}

TEST_F(SceneViewTest, PicturesAreWrittenAtTheSizeShown) {
  child->View()->setCurrentIndex(IndexOf(3100));
  CSignalPlot* plot = child->Pane()->Plot();
  const QString png = QString::fromStdString((dir / "plot.png").string());
  ASSERT_TRUE(SaveWidgetPicture(plot, png));
  EXPECT_EQ(QImage(png).size(), plot->size());
  const QString svg = QString::fromStdString((dir / "view.svg").string());
  ASSERT_TRUE(SaveWidgetPicture(child->SceneView(), svg));
  QFile file(svg);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("<svg")) << text.left(200).toStdString();
  EXPECT_TRUE(text.contains(QString("width=\"%1").arg(child->SceneView()->width()).toUtf8()));
}

// Not a check: pictures of real recordings at heel strike for a person to
// look at. Run with --gtest_also_run_disabled_tests; KX_SCENE_SHOTS names the
// folder.
TEST(SceneShots, DISABLED_WritePictures) {
  KX_REQUIRE_SHARED_DATA();
  testsupport::TempDir dir;
  TestApp app(dir.path());
  CMainFrame frame(app.app());
  frame.resize(1600, 950);
  frame.show();
  const char* env = std::getenv("KX_SCENE_SHOTS");
  const std::filesystem::path out = env != nullptr ? env : "/tmp/scene-shots";
  std::filesystem::create_directories(out);
  auto shoot = [&](const char* file, std::vector<std::uint64_t> chosen, const char* name) {
    const std::filesystem::path path = testsupport::SharedDataDir() / "c3d" / file;
    CChildFrame* child = frame.OpenDocumentFile(QString::fromStdString(path.string()));
    ASSERT_NE(child, nullptr) << path;
    child->showMaximized();
    child->View()->expandAll();
    const auto index = [&](std::uint64_t c) {
      return child->Model()->IndexOfItem(child->Tree().FindByCode(c));
    };
    child->View()->setCurrentIndex(index(chosen.front()));
    for (std::size_t i = 1; i < chosen.size(); ++i) {
      child->View()->selectionModel()->select(index(chosen[i]), QItemSelectionModel::Select);
    }
    // The first heel strike ("Foot Strike", "HS", "RHS" ...) onto a plate
    // that measures, a tenth of a second on, when the vector has grown;
    // else the first heel strike, else the frame of the largest force.
    const CScene& scene = child->SceneView()->Scene();
    const auto& events = child->TimeBar()->Track()->Events();
    const int first = child->Cursor()->Clock().FirstFrame();
    const int later = static_cast<int>(std::lround(child->Cursor()->Clock().FrameRate() / 10));
    int at = -1;
    for (const CEventMark& e : events) {
      const QString label = e.label.toLower();
      if (!label.contains("strike") && !label.contains("hs")) continue;
      if (at < 0) at = e.frame;
      CVec3 from, to;
      for (int p = 0; p < static_cast<int>(scene.Plates().size()); ++p) {
        if (scene.ForceAt(p, e.frame + later - first, 1.0f, from, to)) {
          at = e.frame + later;
          break;
        }
      }
      if (at == e.frame + later) break;
    }
    if (at < 0) at = (first + child->Cursor()->Clock().LastFrame()) / 2;
    child->Cursor()->SetFrame(at);
    QApplication::processEvents();
    ASSERT_TRUE(child->grab().save(QString::fromStdString((out / name).string())));
    child->close();
  };
  shoot("Gait.c3d", {3200, 3201, 3100}, "gait-heel-strike.png");
  shoot("FunctionalWalk.c3d", {3100, 3101, 3102}, "walk-heel-strike.png");
}

}  // namespace
