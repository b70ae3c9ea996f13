// Writes the small recording bundled in samples/: labelled points, analog
// channels at 4 samples per frame, header events and a FORCE_PLATFORM group.
//   make_sample OUTPUT.c3d

#include <cmath>
#include <cstdio>

#include "c3dbuilder/C3dBuilder.h"

using namespace c3dbuilder;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample OUTPUT.c3d\n");
    return 2;
  }
  Spec spec;
  spec.processor = Processor::Intel;
  spec.floatData = false;
  spec.markerScale = 0.1f;
  spec.frameRate = 100.0f;
  spec.firstFrame = 1;
  spec.frames = 50;
  spec.points = 4;
  spec.analogChannels = 6;
  spec.analogRatio = 4;
  spec.events = {{"RHS", 0.05f, 1}, {"LTO", 0.21f, 1}, {"LHS", 0.37f, 0}};
  AddStandardParameters(spec, {"LASI", "RASI", "L KNE", "R-KNE"},
                        {"FX1", "FY1", "FZ1", "MX1", "MY1", "EMG 1-L"});
  spec.groups.push_back({"FORCE_PLATFORM", "Force platform parameters", false});
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "USED", 2, {1}));
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "TYPE", 2, {2}));
  Param corners =
      NumberParam("FORCE_PLATFORM", "CORNERS", 4, {600, 400, 0, 0, 400, 0, 0, 0, 0, 600, 0, 0});
  corners.dims = {3, 4};
  spec.params.push_back(corners);
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "ORIGIN", 4, {0, 0, -40}));
  Param channel = NumberParam("FORCE_PLATFORM", "CHANNEL", 2, {1, 2, 3, 4, 5, 6});
  channel.dims = {6, 1};
  spec.params.push_back(channel);
  spec.groups.push_back({"SUBJECTS", "Subject information", false});
  spec.params.push_back(StringParam("SUBJECTS", "NAMES", {"Sample Subject"}));

  spec.pointValue = [](int i, int j, int c) -> float {
    if (c == 3) return j == 3 && i > 40 ? -1.0f : static_cast<float>(0x0300 | (j + 1));
    if (j == 3 && i > 40) return 0.0f;  // a marker lost at the end of the trial
    const double t = i / 100.0;
    const double base[3] = {1000.0 + 200.0 * j, 1500.0 * t + 50.0 * j, 9000.0 - 100.0 * j};
    return static_cast<float>(std::lround(base[c] + 30.0 * std::sin(6.28 * t + c)));
  };
  spec.analogValue = [](int i, int s, int k) -> float {
    const double t = (i * 4 + s) / 400.0;
    return static_cast<float>(std::lround(800.0 * std::sin(6.28 * (k + 1) * t)));
  };
  return WriteFile(argv[1], Build(spec)) ? 0 : 1;
}
