#include "model/Recording.h"

#include <algorithm>

#include "platform/Platform.h"
#include "platform/Text.h"

CRecording::CRecording() = default;

CPlatform& CRecording::Platform() const {
  return m_platform != nullptr ? *m_platform : DefaultPlatform();
}

namespace {
float AnalogElement(const CParamSet& set, const char* name, int k, float fallback) {
  const CParam* p = set.Find("Analog", name);
  if (p == nullptr) return fallback;
  return p->GetSignedValue(k, fallback);
}
}  // namespace

float CRecording::GetGenScale() const {
  return AnalogElement(paramSet, "Gen_Scale", 0, 1.0f);
}
float CRecording::GetScale(int k) const {
  return AnalogElement(paramSet, "Scale", k, 1.0f);
}
float CRecording::GetOffset(int k, float missing) const {
  // Unsigned converters centre on 32768, which an INT parameter can only
  // store as -32768.
  const CParam* p = paramSet.Find("Analog", "Offset");
  if (p != nullptr && p->type == kParamInt && k >= 0 && k < p->elementCount &&
      static_cast<std::size_t>(k) < p->values.size() && AnalogFormatUnsigned()) {
    return static_cast<float>(static_cast<std::uint16_t>(p->GetInt(k)));
  }
  return AnalogElement(paramSet, "Offset", k, missing);
}

bool CRecording::AnalogFormatUnsigned() const {
  const CParam* p = paramSet.Find("Analog", "Format");
  return p != nullptr && p->type == kParamChar && !p->strings.empty() &&
         EqualsNoCase(TrimView(p->strings[0]), "UNSIGNED");
}

std::size_t CRecording::AnalogSamplesHeld() const {
  std::size_t n = 0;
  for (const CAnalog& a : analog) n = std::max(n, a.samples.Size());
  return n;
}

std::int16_t CRecording::ResidualWord(int j, int i) const {
  const CSampleBuffer& s = points[j].samples;
  const std::size_t at = static_cast<std::size_t>(i) * 4 + 3;
  if (at >= s.Size()) return -1;
  return s.IsInteger() ? s.Ints()[at] : TruncateToWord(s.Floats()[at]);
}

float CRecording::GetResidual(int j, int i) const {
  return ResidualFromWord(ResidualWord(j, i), markerScale);
}

float CRecording::GetResidualAndCameras(int j, int i, char cameras[8]) const {
  const std::int16_t w = ResidualWord(j, i);
  CamerasFromWord(w, cameras);
  return ResidualFromWord(w, markerScale);
}

bool CRecording::FrameHoldsData(int j, int i) const {
  const CSampleBuffer& s = points[j].samples;
  const std::size_t at = static_cast<std::size_t>(i) * 4;
  if (at + 4 > s.Size()) return false;
  if (s.IsInteger()) {
    const std::int16_t* r = s.Ints() + at;
    return !(r[3] == -1 && r[0] == 0 && r[1] == 0 && r[2] == 0);
  }
  const float* r = s.Floats() + at;
  return r[0] != 0.0f || r[1] != 0.0f || r[2] != 0.0f;
}

int CRecording::FirstValidFrame(int j) const {
  if (j < 0 || j >= PointCount()) return -1;
  const int n = static_cast<int>(points[j].samples.Size() / 4);
  for (int i = 0; i < n; ++i) {
    if (FrameHoldsData(j, i)) return i;
  }
  return -1;
}

int CRecording::LastValidFrame(int j) const {
  if (j < 0 || j >= PointCount()) return -1;
  const int n = static_cast<int>(points[j].samples.Size() / 4);
  for (int i = n - 1; i >= 0; --i) {
    if (FrameHoldsData(j, i)) return i;
  }
  return -1;
}

void CRecording::ClearData() {
  paramSet.Clear();
  events.clear();
  analog.clear();
  points.clear();
  wordsInFile = -1;
  wordsFileStamp = {};
}
