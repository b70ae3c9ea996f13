#pragma once
// The ANALOG group that readers of analog-only formats build for the common
// shape: "Gen_Scale", "Used", "Scale", "Gain", "Offset", "Units", "Labels",
// "Descriptions" and "Rate", all locked, channels named "CH001", ... and
// described as "Channel 001", ... Formats differ only in the types and first
// values of the gains and offsets, and in the rates.

#include <cstdint>

class CParamSet;
class CParam;

struct CAnalogParameters {
  int channels = 0;
  float genScale = 1.0f;
  std::int16_t gainType = 4;  // ParamType
  float gain = 1.0f;
  std::int16_t offsetType = 2;  // ParamType
  float offset = 2048.0f;
  float rate = 0.0f;
};

// Group "ANALOG" ("Analog Parameters", number -1) and its nine parameters.
void AddAnalogParameters(CParamSet& set, const CAnalogParameters& spec);

// Stores `value` as element i of `param` in the parameter's own type (BYTE and
// INT truncated); nothing for a CHAR parameter or an element it lacks.
void SetParamValue(CParam& param, int i, float value);
