// The TRC export against the text export of the same markers (the analog
// channels left out of both), the recording opened once; target: TRC within
// 1.2 x the text export's time.
//   bench_trc FILE.c3d

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchProcess.h"
#include "export/OpenSimExport.h"
#include "export/TextExport.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"
#include "platform/HeadlessPlatform.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.c3d\n", argv[0]);
    return 2;
  }
  CC3d c3d;
  c3d.fileName = std::filesystem::absolute(argv[1]);
  if (!c3d.Open()) return 1;
  const auto dir =
      std::filesystem::temp_directory_path() / ("kinex2-bench-trc-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  CHeadlessPlatform platform;
  platform.SetAnswerPolicy(CHeadlessPlatform::AnswerPolicy::Yes);
  CExportSelection sel;
  sel.header = 0;
  sel.points.assign(c3d.points.size(), '1');
  sel.rangeFirst = c3d.firstFrame;
  sel.rangeLast = c3d.lastFrame;
  const CFormatDescription& format = C3dFormatDescription();
  TextOptions text;
  text.VideoScaled = 1;  // the coordinates with decimals, as TRC writes them
  text.SamplesByFrame = 0;
  const double textTime = bench::MedianTime(3, 1, [&] {
    ExportText({c3d, format, sel, dir / "markers.txt", platform, true, true}, text);
  });
  const double trcTime = bench::MedianTime(3, 1, [&] {
    ExportTrc({c3d, format, sel, dir / "markers.trc", platform, true, true});
  });
  const double ratio = trcTime / textTime;
  std::printf("%s: TRC %.3f s, text export of the markers %.3f s = %.2f x [target 1.2 x: %s]\n",
              c3d.fileName.filename().string().c_str(), trcTime, textTime, ratio,
              ratio <= 1.2 ? "ok" : "MISSED");
  std::filesystem::remove_all(dir);
  return 0;
}
