// libFuzzer target: C3D files opened and exported.

#include "FuzzExport.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzOpenAndExport<CC3d>(data, size, ".c3d", C3dFormatDescription());
}
