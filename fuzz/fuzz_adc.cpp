// libFuzzer target: ADC files opened and exported.

#include "FuzzExport.h"
#include "formats/adc/Adc.h"
#include "formats/adc/AdcDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzOpenAndExport<CAdc>(data, size, ".adc", AdcFormatDescription());
}
