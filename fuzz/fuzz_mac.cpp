// libFuzzer target: MAC files opened and exported.

#include "FuzzExport.h"
#include "formats/mac/Mac.h"
#include "formats/mac/MacDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzOpenAndExport<CMac>(data, size, ".ana", MacFormatDescription());
}
