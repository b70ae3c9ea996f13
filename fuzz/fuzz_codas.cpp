// libFuzzer target: CODAS files opened and exported.

#include "FuzzExport.h"
#include "formats/codas/Cod.h"
#include "formats/codas/CodDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzOpenAndExport<CCod>(data, size, ".wdq", CodFormatDescription());
}
