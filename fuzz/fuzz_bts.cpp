// libFuzzer target: BTS EMG files opened and exported.

#include "FuzzExport.h"
#include "formats/bts/Bts.h"
#include "formats/bts/BtsDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzOpenAndExport<CBts>(data, size, ".emg", BtsFormatDescription());
}
