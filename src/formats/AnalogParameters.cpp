#include "formats/AnalogParameters.h"

#include <string>

#include "model/FrameData.h"
#include "model/ParamSet.h"
#include "platform/Text.h"

namespace {
constexpr int kAnalogGroup = 1;

void FillStrings(CParam& p, const char* format, int n) {
  for (int c = 0; c < n; ++c) p.strings[static_cast<std::size_t>(c)] = Format(format, c + 1);
  CParamSet::FinishStringParam(p);
}
}  // namespace

void SetParamValue(CParam& param, int i, float value) {
  if (i < 0 || static_cast<std::size_t>(i) >= param.values.size()) return;
  switch (param.type) {
    case kParamByte:
      param.SetByte(i, static_cast<std::uint8_t>(TruncateToInt32(value)));
      break;
    case kParamInt:
      param.SetInt(i, static_cast<std::int16_t>(TruncateToInt32(value)));
      break;
    case kParamFloat:
      param.SetFloat(i, value);
      break;
    default:
      break;
  }
}

void AddAnalogParameters(CParamSet& set, const CAnalogParameters& spec) {
  const int n = spec.channels;
  set.AddGroup("ANALOG", "Analog Parameters", -kAnalogGroup);
  set.AddScalarParam(kAnalogGroup, "Gen_Scale", "General Scale Factor", kParamFloat, spec.genScale);
  set.AddScalarParam(kAnalogGroup, "Used", "Number of analog channels used", kParamInt,
                     static_cast<float>(n));
  CParam& scale = set.AddArrayParam(kAnalogGroup, "Scale", "Analog scale factors", kParamFloat, n);
  for (int c = 0; c < n; ++c) SetParamValue(scale, c, 1.0f);
  CParam& gain = set.AddArrayParam(kAnalogGroup, "Gain", "Gain factors", spec.gainType, n);
  for (int c = 0; c < n; ++c) SetParamValue(gain, c, spec.gain);
  CParam& offset = set.AddArrayParam(kAnalogGroup, "Offset", "Analog Offsets", spec.offsetType, n);
  for (int c = 0; c < n; ++c) SetParamValue(offset, c, spec.offset);
  CParam& units = set.AddStringParam(kAnalogGroup, "Units", "Analog units", n);
  for (std::string& u : units.strings) u.assign(1, 'V');
  CParamSet::FinishStringParam(units);
  FillStrings(set.AddStringParam(kAnalogGroup, "Labels", "Analog labels", n), "CH%03d", n);
  FillStrings(set.AddStringParam(kAnalogGroup, "Descriptions", "Analog descriptions", n),
              "Channel %03d", n);
  set.AddScalarParam(kAnalogGroup, "Rate", "Analog Base Sampling Rate", kParamFloat, spec.rate);
}
