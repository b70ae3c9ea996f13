// Redrawing the signal plot of the details pane, offscreen.
//   bench_gui_plot
// A 600000-sample channel (60000 frames at 10 samples per frame) drawn into
// a 1200 x 400 plot, the whole recording and a zoomed part: the median time
// of a full redraw (envelope and painting). Target: under 50 ms.

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "documents/PlotSeries.h"
#include "formats/FormatDescription.h"
#include "gui/SignalPlot.h"

namespace {

constexpr int kRuns = 21;
constexpr double kTargetMs = 50.0;
constexpr int kFrames = 60000;
constexpr int kRatio = 10;

double MedianMs(CSignalPlot& plot, QImage& image) {
  std::vector<double> t;
  for (int i = 0; i < kRuns; ++i) {
    const auto a = std::chrono::steady_clock::now();
    plot.render(&image);
    t.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  CRecording rec;
  rec.firstFrame = 1;
  rec.lastFrame = kFrames;
  rec.analogRatio = kRatio;
  rec.integerData = false;
  rec.analog.resize(1);
  CSampleBuffer& b = rec.analog[0].samples;
  if (!b.Allocate(static_cast<std::size_t>(kFrames) * kRatio, false)) return 1;
  for (std::size_t s = 0; s < b.Size(); ++s) {
    const double t = static_cast<double>(s) / (100.0 * kRatio);
    b.Floats()[s] = static_cast<float>(std::sin(6.283 * 0.9 * t) + 0.3 * std::sin(1237.0 * t));
  }
  CFormatDescription format{};
  format.allAnalogSamples = true;
  format.analogScalable = false;

  CSignalPlot plot;
  plot.resize(1200, 400);
  plot.SetSeries({ChannelSeries(rec, format, 0, "EMG")}, 100.0, 1, kFrames);
  plot.SetFrameRange(1000, 50000);
  QImage image(plot.size(), QImage::Format_ARGB32_Premultiplied);

  const double whole = MedianMs(plot, image);
  plot.SetViewX(10000.0, 40000.0);
  const double zoomed = MedianMs(plot, image);
  const bool ok = whole < kTargetMs && zoomed < kTargetMs;
  std::printf("plot redraw, %zu samples: whole %.2f ms, zoomed %.2f ms [target %.0f ms]%s\n",
              b.Size(), whole, zoomed, kTargetMs, ok ? "" : "  MISSED");
  return 0;
}
