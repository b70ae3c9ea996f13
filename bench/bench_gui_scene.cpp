// Drawing the 3-D view while a recording plays, offscreen.
//   bench_gui_scene [DIR]
// Writes two recordings of 200 markers and 4 type-2 force plates into DIR
// (default: a temporary folder), one of 100000 frames and one of 1000, opens
// each, builds its scene and draws the 3-D view at 1200 x 800 for 600 frames
// spread over the whole recording (scrubbing) and for 600 frames in a row
// (playing). Prints the median and the slowest 1 % of the draws (target: a
// frame under 8 ms, 60 frames per second with room to spare), the ratio of
// the long recording's median to the short one's (nothing per frame may
// depend on the recording's length: target about 1), and the redraw of a
// plot of 200000 samples when only its time cursor moved.

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "c3dbuilder/C3dBuilder.h"
#include "documents/C3dDoc.h"
#include "documents/ItemDetails.h"
#include "documents/PlotSeries.h"
#include "documents/Scene3d.h"
#include "gui/FrameCursor.h"
#include "gui/SceneView.h"
#include "gui/SignalPlot.h"
#include "platform/HeadlessPlatform.h"

namespace {

using namespace c3dbuilder;
using Clock = std::chrono::steady_clock;

constexpr int kMarkers = 200;
constexpr int kPlates = 4;
constexpr int kRatio = 2;
constexpr int kDraws = 600;
constexpr double kTargetMs = 8.0;
constexpr double kTwoPi = 6.283185307179586;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

Spec SceneSpec(int frames) {
  Spec spec;
  spec.frames = frames;
  spec.points = kMarkers;
  spec.analogChannels = 6 * kPlates;
  spec.analogRatio = kRatio;
  spec.markerScale = 0.1f;
  std::vector<std::string> points;
  for (int j = 0; j < kMarkers; ++j) points.push_back("M" + std::to_string(j + 1));
  std::vector<std::string> channels;
  for (int k = 0; k < 6 * kPlates; ++k) channels.push_back("C" + std::to_string(k + 1));
  AddStandardParameters(spec, points, channels);
  spec.groups.push_back({"FORCE_PLATFORM", "", false});
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "USED", 2, {kPlates}));
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "TYPE", 2, std::vector<float>(kPlates, 2)));
  std::vector<float> numbers;
  for (int k = 1; k <= 6 * kPlates; ++k) numbers.push_back(static_cast<float>(k));
  Param channel = NumberParam("FORCE_PLATFORM", "CHANNEL", 2, numbers);
  channel.dims = {6, kPlates};
  spec.params.push_back(channel);
  numbers.clear();
  for (int p = 0; p < kPlates; ++p) numbers.insert(numbers.end(), {0, 0, -40});
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "ORIGIN", 4, numbers));
  numbers.clear();
  for (int p = 0; p < kPlates; ++p) {
    const float x0 = 500.0f * static_cast<float>(p);
    numbers.insert(numbers.end(), {x0 + 500, 600, 0, x0, 600, 0, x0, 0, 0, x0 + 500, 0, 0});
  }
  Param corners = NumberParam("FORCE_PLATFORM", "CORNERS", 4, numbers);
  corners.dims = {3, 4, kPlates};
  spec.params.push_back(corners);
  // Past the header's 16 bits the frame range is the trial's, low word first.
  const auto field = [](int f) {
    return std::vector<float>{static_cast<float>(static_cast<std::int16_t>(f & 0xFFFF)),
                              static_cast<float>(f >> 16)};
  };
  spec.groups.push_back({"TRIAL", "", false});
  spec.params.push_back(NumberParam("TRIAL", "ACTUAL_START_FIELD", 2, field(1)));
  spec.params.push_back(NumberParam("TRIAL", "ACTUAL_END_FIELD", 2, field(frames)));
  spec.pointValue = [](int i, int j, int c) -> float {
    if (c == 3) return 1.0f;
    const double t = i / 100.0;
    const double swing = std::sin(kTwoPi * 0.9 * t + 0.1 * j + c);
    const double base[3] = {1000.0 * std::sin(kTwoPi * t / 20.0) + j % 10 * 40.0, 300.0 + j / 10 * 5.0,
                            50.0 + j * 8.0};
    return static_cast<float>((base[c] + 60.0 * swing) * 10.0);  // tenths of a millimetre
  };
  spec.analogValue = [](int i, int s, int k) -> float {
    const double t = (i * kRatio + s) / (100.0 * kRatio);
    const double load = std::max(0.0, std::sin(kTwoPi * 0.45 * t + k / 6));
    // Vertical channels push down; the others shear a little.
    return static_cast<float>(k % 6 == 2 ? -60000.0 * load : 4000.0 * load * std::sin(t + k));
  };
  return spec;
}

struct CTimes {
  double median = 0.0;
  double slowest = 0.0;  // the slowest 1 %
};

CTimes Summary(std::vector<double> t) {
  std::sort(t.begin(), t.end());
  return {t[t.size() / 2], t[t.size() - 1 - t.size() / 100]};
}

struct CResult {
  int frames = 0;
  double sceneMs = 0.0;
  CTimes scrub, play;
};

bool Measure(const std::filesystem::path& file, CResult& r) {
  CHeadlessPlatform platform;
  CC3dDoc doc(platform);
  if (!doc.OnOpenDocument(file)) return false;
  const CRecording& rec = doc.Reader();
  r.frames = rec.FrameCount();
  const auto a = Clock::now();
  const CScene scene = CScene::FromRecording(rec, doc.Description());
  r.sceneMs = Ms(a, Clock::now());
  CFrameCursor cursor;
  cursor.SetRecording(rec.firstFrame, rec.lastFrame, 100.0);
  CSceneView view(scene, &cursor);
  view.resize(1200, 800);
  view.FitAll();
  QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
  view.render(&image);  // sprites made once
  const int n = rec.FrameCount();
  for (const bool scrub : {true, false}) {
    std::vector<double> t;
    for (int d = 0; d < kDraws; ++d) {
      const int frame = scrub ? static_cast<int>((static_cast<long long>(d) * 7919) % n) : (n / 3 + d) % n;
      const auto b = Clock::now();
      cursor.SetFrame(rec.firstFrame + frame);
      view.render(&image);
      t.push_back(Ms(b, Clock::now()));
    }
    (scrub ? r.scrub : r.play) = Summary(t);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::filesystem::path dir =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "kx-bench-scene";
  std::filesystem::create_directories(dir);
  const std::filesystem::path longFile = dir / "scene_long.c3d";
  const std::filesystem::path shortFile = dir / "scene_short.c3d";
  if (!std::filesystem::exists(longFile) && !WriteLarge(longFile.string(), SceneSpec(100000))) return 1;
  if (!std::filesystem::exists(shortFile) && !WriteLarge(shortFile.string(), SceneSpec(1000))) return 1;

  CResult longRun, shortRun;
  if (!Measure(longFile, longRun) || !Measure(shortFile, shortRun)) {
    std::fprintf(stderr, "bench_gui_scene: cannot open the recordings in %s\n", dir.c_str());
    return 1;
  }
  if (longRun.frames != 100000) {
    std::fprintf(stderr, "bench_gui_scene: the long recording holds %d frames\n", longRun.frames);
    return 1;
  }
  const bool ok = longRun.scrub.median < kTargetMs && longRun.play.median < kTargetMs;
  std::printf("3-D view, %d markers, %d plates, 1200 x 800:\n", kMarkers, kPlates);
  std::printf("  100000 frames: scrub median %.2f ms (slowest 1%% %.2f), play median %.2f ms (%.2f)"
              " [target %.0f ms]%s\n",
              longRun.scrub.median, longRun.scrub.slowest, longRun.play.median, longRun.play.slowest,
              kTargetMs, ok ? "" : "  MISSED");
  std::printf("  1000 frames:   scrub median %.2f ms, play median %.2f ms\n", shortRun.scrub.median,
              shortRun.play.median);
  std::printf("  long / short median: %.2f x [target about 1]\n",
              longRun.scrub.median / shortRun.scrub.median);
  std::printf("  scene built once: %.1f ms for 100000 frames, %.1f ms for 1000\n", longRun.sceneMs,
              shortRun.sceneMs);

  // A plot of one long channel: only the cursor moves, the envelope stays.
  CHeadlessPlatform platform;
  CC3dDoc doc(platform);
  if (!doc.OnOpenDocument(longFile)) return 1;
  const CRecording& rec = doc.Reader();
  CSignalPlot plot;
  plot.resize(1200, 400);
  plot.SetSeries({ChannelSeries(rec, doc.Description(), 2, "C3")}, 100.0, rec.firstFrame,
                 rec.FrameCount());
  QImage image(plot.size(), QImage::Format_ARGB32_Premultiplied);
  plot.render(&image);
  std::vector<double> t;
  for (int d = 0; d < kDraws; ++d) {
    const auto b = Clock::now();
    plot.SetCursorFrame(rec.firstFrame + d * 150);
    plot.render(&image);
    t.push_back(Ms(b, Clock::now()));
  }
  const CTimes cursor = Summary(t);
  std::printf("plot of %zu samples, cursor moved: median %.2f ms (slowest 1%% %.2f) [target %.0f ms]%s\n",
              rec.analog[2].samples.Size(), cursor.median, cursor.slowest, kTargetMs,
              cursor.median < kTargetMs ? "" : "  MISSED");
  return 0;
}
