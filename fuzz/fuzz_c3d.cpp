// libFuzzer target: any byte string given to the C3D reader opens or fails
// with a reported message; never a crash, an out-of-bounds access or a hang.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "formats/c3d/C3d.h"
#include "formats/ReaderSupport.h"
#include "FuzzSupport.h"


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CSilentPlatform platform(false);
  static CFuzzFiles files("c3d");
  // Hostile headers may ask for gigabytes; the reader refuses above this.
  SetSampleMemoryLimit(256u << 20);
  if (!files.WriteInput(data, size, ".c3d")) return 0;
  CC3d c3d;
  c3d.SetPlatform(&platform);
  c3d.fileName = files.Input();
  if (c3d.Open()) {
    // Touch what the exports read.
    volatile float sink = 0;
    for (int j = 0; j < c3d.PointCount(); ++j) sink = sink + c3d.GetResidual(j, 0);
    for (int k = 0; k < c3d.AnalogCount(); ++k) sink = sink + c3d.GetScale(k) + c3d.GetOffset(k);
  }
  return 0;
}
