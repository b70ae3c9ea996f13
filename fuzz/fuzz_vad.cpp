// libFuzzer target: VAD files opened and exported, with a calibration file
// beside them that names scales, labels and two force plates.

#include "FuzzExport.h"
#include "formats/vad/Vad.h"
#include "formats/vad/VadDescription.h"

namespace {
constexpr char kCalibration[] =
    "[Analogue]\n"
    "GeneralScale=0.0025\n"
    "Channel1=0, 1, 1, 0.5,2000,mV,EMG1,Left rectus\n"
    "Channel2=0, 1, 1, 2\n"
    "Channel3=,,,,,,,,\n"
    "[ForcePlates]\n"
    "Count=2\n"
    "Zero=1,10\n"
    "[ForcePlate1]\n"
    "Type=2\n"
    "Corners=1,2,3,4,5,6,7,8,9,10,11,12\n"
    "Origin=0,0,-40\n"
    "Channels=1,2,3,4,5,6\n"
    "[Video]\n"
    "Frequency=50\n";
const CFuzzCompanion kCompanion{&CVad::CalibrationName, kCalibration};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzOpenAndExport<CVad>(data, size, ".vad", VadFormatDescription(), &kCompanion);
}
