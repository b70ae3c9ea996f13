#include "formats/c3d/ForcePlates.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "model/Recording.h"
#include "platform/Text.h"

namespace {

constexpr char kGroup[] = "FORCE_PLATFORM";
constexpr int kMaxPlates = 32767;
constexpr int kCornerDecimals = 3;
constexpr int kOriginDecimals = 3;
// Angles are turned between degrees and radians in single precision, one
// operation after the other as the plates' reference values were computed:
// folding the two constants into one changes the last digit of the forces.
constexpr float kOneOver180 = 0.0055555557f;
constexpr float kPi = 3.1415926535f;
float Radians(float degrees) {
  return (degrees * kOneOver180) * kPi;
}
// Rotations below this many degrees are taken for a plate laid square.
constexpr float kMinimumAngle = 2.0f;
// The centre-of-pressure quotients are 0 where the vertical force is smaller.
constexpr float kSmallForce = 0.0001f;
constexpr float kSmallForceQx = 0.00001f;
// Samples whose vertical force, or that of one of the five before them, is
// below this share of the recording's largest have no centre of pressure.
constexpr float kBlankingShare = 0.3f;
constexpr std::ptrdiff_t kBlankingSpan = 5;

const CParam* Param(const CRecording& rec, const char* name) {
  return rec.paramSet.Find(kGroup, name);
}

bool HasElement(const CParam* p, int i) {
  if (p == nullptr || i < 0) return false;
  if (p->type == kParamChar) return static_cast<std::size_t>(i) < p->strings.size();
  return p->IsNumeric() && i < p->elementCount && static_cast<std::size_t>(i) < p->values.size();
}

// A whole number as USED and CHANNEL hold it: BYTE signed, FLOAT truncated,
// CHAR text read as a decimal integer. `missing` when there is no element.
long long SignedWhole(const CParam* p, int i, long long missing) {
  if (!HasElement(p, i)) return missing;
  if (p->type == kParamChar) return LeadingInteger(p->GetString(i));
  return TruncateToInt32(p->GetSignedValue(i, 0.0f));
}

// A number of the element text: empty text gives 0.
float TextNumber(const CParam* p, int i, int decimals) {
  return LeadingDecimal(FormatParamElement(p, i, decimals));
}

constexpr int kType3Channels = 8;
constexpr int kOtherChannels = 6;

int ChannelsOfType(int type) {
  return type == 3 ? kType3Channels : kOtherChannels;
}

// Element p of TYPE (see GetPlateType).
int TypeOf(const CParam* type, int p) {
  if (!HasElement(type, p)) return 0;
  long long v = 0;
  switch (type->type) {
    case kParamChar:
      v = LeadingInteger(type->GetString(p));
      break;
    case kParamByte:
      v = type->GetByte(p);
      break;
    case kParamInt:
      v = type->GetInt(p);
      break;
    default: {
      // To the nearest, ties to even, as "%.0f" writes it; NaN is no type.
      const float f = std::nearbyint(type->GetFloat(p));
      v = f >= -1.0f && f <= 255.0f ? static_cast<long long>(f) : -1;
      break;
    }
  }
  return static_cast<int>(std::clamp<long long>(v, -1, 255));
}

// Index in CHANNEL of platform p's first channel, or -1.
long long PlateChannelBase(const CRecording& rec, int p) {
  const CParam* channel = Param(rec, "CHANNEL");
  const CParam* types = Param(rec, "TYPE");
  if (channel == nullptr || types == nullptr || p < 0) return -1;
  // A CHANNEL matrix whose rows are at least as long as every platform's
  // channel list gives each platform a row of its own: plates of mixed types
  // are stored padded (TYPE-3 files: [8, n] for types 3, 3, 2, 2), so
  // counting 8 + 8 + 6 would take plate 4's channels from plate 3's row.
  // Shorter rows (types 3, 3, 4, 4 stored as [6, 4]) hold the lists one
  // after the other.
  if (channel->IsNumeric() && channel->dimensions.size() >= 2) {
    const int row = channel->dimensions[0];
    bool rows = row >= kType3Channels;
    if (!rows && row >= kOtherChannels) {
      // Only a type-3 plate needs more; types past TYPE's end read 0.
      const int plates = std::min(GetPlateCount(rec), types->elementCount);
      rows = true;
      for (int q = 0; q < plates && rows; ++q) rows = TypeOf(types, q) != 3;
    }
    if (rows) return static_cast<long long>(p) * row;
  }
  long long offset = 0;
  for (int q = 0; q < p; ++q) {
    const int type = TypeOf(types, q);
    if (type < 1 || type > 4) return -1;
    offset += ChannelsOfType(type);
    // Past the last element no later platform has channels either.
    if (offset > channel->elementCount) return -1;
  }
  return offset;
}

// ---- Geometry --------------------------------------------------------------

struct CCorners {
  float x[4];
  float y[4];
};

bool ReadCorners(const CRecording& rec, int p, CCorners& c) {
  const CParam* corners = Param(rec, "CORNERS");
  if (corners == nullptr || corners->type == kParamChar || p < 0) return false;
  const long long base = 12LL * p;
  if (base + 12 > corners->elementCount) return false;
  for (int i = 0; i < 4; ++i) {
    const int ix = static_cast<int>(base + 3 * i);
    if (!HasElement(corners, ix) || !HasElement(corners, ix + 1)) return false;
    c.x[i] = TextNumber(corners, ix, kCornerDecimals);
    c.y[i] = TextNumber(corners, ix + 1, kCornerDecimals);
  }
  return true;
}

float Degrees(float opposite, float adjacent) {
  // A degenerate edge (both differences 0) counts as square, not as NaN.
  if (opposite == 0.0f) return 0.0f;
  return (std::atan(opposite / adjacent) * 180.0f) / kPi;
}

bool Geometry(const CRecording& rec, int p, bool xEdge, CPlateGeometry& g) {
  g = CPlateGeometry{};
  CCorners c;
  if (!ReadCorners(rec, p, c)) return false;
  g.cx = ((c.x[0] + c.x[1]) / 2.0f + (c.x[2] + c.x[3]) / 2.0f) / 2.0f;
  g.cy = ((c.y[0] + c.y[3]) / 2.0f + (c.y[1] + c.y[2]) / 2.0f) / 2.0f;
  g.angle = xEdge ? Degrees(std::fabs(c.y[0] - c.y[1]), std::fabs(c.x[0] - c.x[1]))
                  : Degrees(std::fabs(c.x[1] - c.x[2]), std::fabs(c.y[1] - c.y[2]));
  return true;
}

// ---- Scaled channels and baselines ----------------------------------------

// The stretch of samples ZERO names, as first and last index (both
// included), for one of the two ways the series take it.
enum class Baseline { A, B };

bool ZeroStretch(const CRecording& rec, Baseline kind, std::size_t n, long long& a, long long& b) {
  const CParam* zero = Param(rec, "ZERO");
  const std::string t0 = FormatParamElement(zero, 0, 0);
  const std::string t1 = FormatParamElement(zero, 1, 0);
  if (t0.empty() || t1.empty()) return false;
  const long long z0 = LeadingInteger(t0);
  const long long z1 = LeadingInteger(t1);
  long long last = 0;
  if (kind == Baseline::A) {
    // ZERO counts samples from 1. Files that give [0, n] mean from the
    // first sample; taken literally the stretch would start before the
    // recording and the plate fall back to ANALOG:OFFSET (-32768 in some
    // files: kilonewtons of force on an empty plate).
    a = std::max(z0 - 1, 0LL);
    b = z1 - 1;
    last = b;
  } else {
    a = z0;
    b = z1;
    last = b - 1;
  }
  const long long size = static_cast<long long>(n);
  if (!(a >= 0 && a < b && a < size && b < size)) return false;
  b = last;
  return true;
}

// One platform channel scaled with its baseline: (raw - z) x general scale x
// channel scale.
template <typename Sample>
struct CScaled {
  const Sample* raw = nullptr;
  float z = 0.0f;
  float gen = 1.0f;
  float scale = 1.0f;
  float operator[](std::size_t i) const { return (static_cast<float>(raw[i]) - z) * gen * scale; }
};

// The inputs of one series: the platform's scaled channels and the length
// every channel taken holds.
template <typename Sample>
class CPlateInputs {
 public:
  CPlateInputs(const CRecording& rec, int p)
      : m_rec(rec), m_channels(Param(rec, "CHANNEL")), m_base(PlateChannelBase(rec, p)) {
    const long long frames = std::max(rec.FrameCount(), 0);
    m_length = static_cast<std::size_t>(frames * std::max(rec.analogRatio, 0));
  }

  // Samples every channel taken so far holds (the rest of a series stays 0).
  std::size_t Length() const { return m_length; }

  // Platform channels `ks` with baseline `kind` into out[k]; false when one
  // of them has no analog channel of the recording.
  bool Take(std::initializer_list<int> ks, Baseline kind, CScaled<Sample>* out) {
    for (const int k : ks) {
      if (!Channel(k, kind, out[k])) return false;
    }
    return true;
  }

 private:
  bool Channel(int k, Baseline kind, CScaled<Sample>& out) {
    if (m_base < 0 || m_base + k > INT32_MAX) return false;
    const long long number = SignedWhole(m_channels, static_cast<int>(m_base + k), 0);
    if (number < 1 || number > m_rec.AnalogCount()) return false;
    const int c = static_cast<int>(number - 1);
    const CSampleBuffer& buffer = m_rec.analog[static_cast<std::size_t>(c)].samples;
    const Sample* raw = SamplesAs<Sample>(buffer);
    if (raw == nullptr) return false;
    m_length = std::min(m_length, buffer.Size());
    out.raw = raw;
    out.gen = m_rec.GetGenScale();
    out.scale = m_rec.GetScale(c);
    long long a = 0;
    long long b = 0;
    if (ZeroStretch(m_rec, kind, buffer.Size(), a, b)) {
      float sum = 0.0f;
      for (long long i = a; i <= b; ++i) sum += static_cast<float>(raw[i]);
      out.z = sum / static_cast<float>(b - a + 1);
    } else {
      out.z = m_rec.GetOffset(c);
    }
    return true;
  }

  const CRecording& m_rec;
  const CParam* m_channels;
  long long m_base;
  std::size_t m_length = 0;
};

// Tells, sample after sample, whether the centre of pressure is blanked: the
// vertical force F of that sample or of one of the five before it is below
// 0.3 x the largest |F| of the recording.
class CBlanking {
 public:
  template <typename Force>
  CBlanking(const Force& force, std::size_t n) {
    float largest = 0.0f;
    for (std::size_t i = 0; i < n; ++i) largest = std::max(largest, std::fabs(force(i)));
    m_threshold = kBlankingShare * largest;
  }
  // Call for i = 0, 1, 2, ... in order.
  bool Blanked(std::size_t i, float force) {
    if (std::fabs(force) < m_threshold) m_lastLow = static_cast<std::ptrdiff_t>(i);
    return m_lastLow >= 0 && static_cast<std::ptrdiff_t>(i) - m_lastLow <= kBlankingSpan;
  }

 private:
  float m_threshold = 0.0f;
  std::ptrdiff_t m_lastLow = -1;
};

// A plate value placed in the laboratory along one axis.
float Place(int sign, float centre, float v) {
  if (sign > 0) return centre + v;
  if (sign < 0) return centre - v;
  return v;
}

float Primed(float angle) {
  return angle >= kMinimumAngle ? angle : 0.0f;
}

// The plate's geometry with the sines and cosines of its two angles, taken
// whole (for the laboratory's axes) and primed (0 below two degrees).
struct CPlateFrame {
  CPlateGeometry gx;
  CPlateGeometry gy;
  float cosX, sinX, cosY, sinY;
  float cosXp, sinXp, cosYp, sinYp;

  CPlateFrame(const CRecording& rec, int p) {
    GetPlateGeometryX(rec, p, gx);
    GetPlateGeometryY(rec, p, gy);
    const float thx = Radians(gx.angle);
    const float thy = Radians(gy.angle);
    const float thxP = Radians(Primed(gx.angle));
    const float thyP = Radians(Primed(gy.angle));
    cosX = std::cos(thx);
    sinX = std::sin(thx);
    cosY = std::cos(thy);
    sinY = std::sin(thy);
    cosXp = std::cos(thxP);
    sinXp = std::sin(thxP);
    cosYp = std::cos(thyP);
    sinYp = std::sin(thyP);
  }
  // Forces are turned from two degrees on, centres of pressure past two.
  bool TurnForceX() const { return gx.angle >= kMinimumAngle; }
  bool TurnForceY() const { return gy.angle >= kMinimumAngle; }
  bool TurnCopX() const { return gx.angle > kMinimumAngle; }
  bool TurnCopY() const { return gy.angle > kMinimumAngle; }
  // The plate's centre of pressure (px, py) in the laboratory's axes.
  float CopX(int sign, float px, float py) const {
    return Place(sign, gx.cx, TurnCopX() ? py * sinX + px * cosX : px);
  }
  float CopY(int sign, float px, float py) const {
    return Place(sign, gy.cy, TurnCopY() ? py * cosY - px * sinY : py);
  }
  float ForceX(float fx, float fy) const { return TurnForceX() ? fx * cosX + fy * sinX : fx; }
  float ForceY(float fx, float fy) const { return TurnForceY() ? fy * cosY - fx * sinY : fy; }
};

// ---- Type 2 ----------------------------------------------------------------

template <typename Sample>
void Type2Series(const CRecording& rec, int p, PlateComponent component, float* out) {
  CPlateInputs<Sample> in(rec, p);
  const CPlateFrame frame(rec, p);

  if (component == PlateComponent::FX || component == PlateComponent::FY) {
    CScaled<Sample> s[2];
    if (!in.Take({0, 1}, Baseline::A, s)) return;
    const std::size_t n = in.Length();
    for (std::size_t i = 0; i < n; ++i) {
      out[i] = component == PlateComponent::FX ? frame.ForceX(s[0][i], s[1][i])
                                               : frame.ForceY(s[0][i], s[1][i]);
    }
    return;
  }
  if (component == PlateComponent::FZ) {
    CScaled<Sample> s[3];
    if (!in.Take({2}, Baseline::A, s)) return;
    const std::size_t n = in.Length();
    for (std::size_t i = 0; i < n; ++i) out[i] = s[2][i];
    return;
  }

  const float dz = std::fabs(GetPlateOrigin(rec, p, 2));
  CScaled<Sample> b[3];
  if (!in.Take({2}, Baseline::B, b)) return;
  const CScaled<Sample>& vertical = b[2];
  if (component == PlateComponent::TZ) {
    CScaled<Sample> s[6];
    if (!in.Take({0, 1, 2, 3, 4, 5}, Baseline::A, s)) return;
    const std::size_t n = in.Length();
    CBlanking blanking([&](std::size_t i) { return vertical[i]; }, n);
    for (std::size_t i = 0; i < n; ++i) {
      if (blanking.Blanked(i, vertical[i])) continue;
      // Wholly in the plate's own frame: the centre of pressure the plate
      // measures and its unrotated shear forces. Taking the plate's place in
      // the laboratory into it gave moments of 100 N m for a plate away from
      // the origin.
      const float fx = s[0][i];
      const float fy = s[1][i];
      const float fz = s[2][i];
      const float qx = std::fabs(fz) >= kSmallForceQx ? -(s[4][i] - fx * dz) / fz : 0.0f;
      const float qy = std::fabs(fz) >= kSmallForce ? (s[3][i] + fy * dz) / fz : 0.0f;
      out[i] = (s[5][i] + fx * qy) - fy * qx;
    }
    return;
  }

  CScaled<Sample> s[5];
  if (!in.Take({0, 1, 2, 3, 4}, Baseline::A, s)) return;
  const std::size_t n = in.Length();
  CBlanking blanking([&](std::size_t i) { return vertical[i]; }, n);
  const bool isX = component == PlateComponent::DX;
  const int sign = GetPlateAxisSign(rec, p, isX ? 0 : 1);
  for (std::size_t i = 0; i < n; ++i) {
    float px = 0.0f;
    float py = 0.0f;
    const float fz = s[2][i];
    if (!blanking.Blanked(i, vertical[i]) && std::fabs(fz) >= kSmallForce) {
      const float fx = s[0][i];
      const float fy = s[1][i];
      px = -(s[4][i] - (fx * frame.cosXp + fy * frame.sinXp) * dz) / fz;
      // |dz| as for px: the plate's surface lies above its sensors whatever
      // sign the file gives the origin.
      py = ((fy * frame.cosYp - fx * frame.sinYp) * dz + s[3][i]) / fz;
    }
    out[i] = isX ? frame.CopX(sign, px, py) : frame.CopY(sign, px, py);
  }
}

// ---- Type 3 ----------------------------------------------------------------

template <typename Sample>
void Type3Series(const CRecording& rec, int p, PlateComponent component, float* out) {
  CPlateInputs<Sample> in(rec, p);
  const CPlateFrame frame(rec, p);
  CScaled<Sample> s[8];
  auto fx3 = [&](std::size_t i) { return s[0][i] + s[1][i]; };
  auto fy3 = [&](std::size_t i) { return s[2][i] + s[3][i]; };
  auto fz3 = [&](std::size_t i) { return s[4][i] + s[5][i] + s[6][i] + s[7][i]; };

  if (component == PlateComponent::FX || component == PlateComponent::FY) {
    if (!in.Take({0, 1, 2, 3}, Baseline::B, s)) return;
    const std::size_t n = in.Length();
    for (std::size_t i = 0; i < n; ++i) {
      out[i] = component == PlateComponent::FX ? frame.ForceX(fx3(i), fy3(i))
                                               : frame.ForceY(fx3(i), fy3(i));
    }
    return;
  }
  if (component == PlateComponent::FZ) {
    if (!in.Take({4, 5, 6, 7}, Baseline::B, s)) return;
    const std::size_t n = in.Length();
    for (std::size_t i = 0; i < n; ++i) out[i] = fz3(i);
    return;
  }

  if (!in.Take({0, 1, 2, 3, 4, 5, 6, 7}, Baseline::B, s)) return;
  // ORIGIN as element text with three decimals; without all three values
  // the plate's centre of pressure and the free moment stay 0.
  const CParam* originParam = Param(rec, "ORIGIN");
  const std::string tx = FormatParamElement(originParam, 3 * p, kOriginDecimals);
  const std::string ty = FormatParamElement(originParam, 3 * p + 1, kOriginDecimals);
  const std::string tz = FormatParamElement(originParam, 3 * p + 2, kOriginDecimals);
  const bool hasOrigin = !tx.empty() && !ty.empty() && !tz.empty();
  const float ox = LeadingDecimal(tx);
  const float oy = LeadingDecimal(ty);
  const float oz = LeadingDecimal(tz);

  const std::size_t n = in.Length();
  CBlanking blanking(fz3, n);
  const int signX = GetPlateAxisSign(rec, p, 0);
  const int signY = GetPlateAxisSign(rec, p, 1);
  for (std::size_t i = 0; i < n; ++i) {
    const float fz = fz3(i);
    const bool blanked = blanking.Blanked(i, fz);
    const float fx = fx3(i);
    const float fy = fy3(i);
    float px = 0.0f;
    float py = 0.0f;
    if (hasOrigin && std::fabs(fz) >= kSmallForce) {
      py = (oy * (s[4][i] + s[5][i] - s[6][i] - s[7][i]) + oz * fy) / fz;
      px = -(ox * (-s[4][i] + s[5][i] + s[6][i] - s[7][i]) - std::fabs(oz) * fx) / fz;
    }
    if (component == PlateComponent::TZ) {
      out[i] = blanked || !hasOrigin
                   ? 0.0f
                   : oy * (s[1][i] - s[0][i]) + ox * (s[2][i] - s[3][i]) - px * fy + py * fx;
      continue;
    }
    if (blanked) px = py = 0.0f;
    out[i] =
        component == PlateComponent::DX ? frame.CopX(signX, px, py) : frame.CopY(signY, px, py);
  }
}

// Where a centre of pressure is computed, by the same test as the series.
template <typename Sample>
void CopShown(const CRecording& rec, int p, int type, unsigned char* out) {
  CPlateInputs<Sample> in(rec, p);
  if (type == 2) {
    CScaled<Sample> a[3];
    CScaled<Sample> b[3];
    if (!in.Take({2}, Baseline::A, a) || !in.Take({2}, Baseline::B, b)) return;
    const std::size_t n = in.Length();
    CBlanking blanking([&](std::size_t i) { return b[2][i]; }, n);
    for (std::size_t i = 0; i < n; ++i) {
      out[i] = !blanking.Blanked(i, b[2][i]) && std::fabs(a[2][i]) >= kSmallForce;
    }
    return;
  }
  CScaled<Sample> s[8];
  if (!in.Take({4, 5, 6, 7}, Baseline::B, s)) return;
  auto fz3 = [&](std::size_t i) { return s[4][i] + s[5][i] + s[6][i] + s[7][i]; };
  const std::size_t n = in.Length();
  CBlanking blanking(fz3, n);
  for (std::size_t i = 0; i < n; ++i) {
    const float fz = fz3(i);
    out[i] = !blanking.Blanked(i, fz) && std::fabs(fz) >= kSmallForce;
  }
}

void Series(const CRecording& rec, int p, int type, PlateComponent c, std::vector<float>& out) {
  out.assign(rec.AnalogSamplesHeld(), 0.0f);
  if (out.empty() || p < 0) return;
  rec.WithAnalogSampleType([&](auto sampleType) {
    using Sample = std::remove_cv_t<std::remove_pointer_t<decltype(sampleType)>>;
    if (type == 2) {
      Type2Series<Sample>(rec, p, c, out.data());
    } else if (type == 3) {
      Type3Series<Sample>(rec, p, c, out.data());
    }
  });
}

}  // namespace

std::string FormatParamElement(const CParam* param, int i, int decimals) {
  if (param == nullptr || param->type == kParamChar || !HasElement(param, i)) return {};
  switch (param->type) {
    case kParamByte:
      return Format("%d", static_cast<int>(param->GetByte(i)));
    case kParamInt:
      return Format("%d", static_cast<int>(param->GetInt(i)));
    case kParamFloat:
      return Format("%.*f", decimals, static_cast<double>(param->GetFloat(i)));
    default:
      return {};
  }
}

int GetPlateCount(const CRecording& rec) {
  const long long n = SignedWhole(Param(rec, "USED"), 0, 0);
  return n > 0 ? static_cast<int>(std::min<long long>(n, kMaxPlates)) : 0;
}

int GetPlateType(const CRecording& rec, int p) {
  return TypeOf(Param(rec, "TYPE"), p);
}

int GetPlateChannel(const CRecording& rec, int p, int k) {
  const long long base = PlateChannelBase(rec, p);
  if (base < 0 || k < 0 || base + k > INT32_MAX) return -1;
  const long long v = SignedWhole(Param(rec, "CHANNEL"), static_cast<int>(base + k), 0);
  return v >= 1 && v <= INT32_MAX ? static_cast<int>(v - 1) : -1;
}

float GetPlateOrigin(const CRecording& rec, int p, int axis) {
  const CParam* origin = Param(rec, "ORIGIN");
  const long long i = 3LL * p + axis;
  if (p < 0 || axis < 0 || axis > 2 || i > INT32_MAX || !HasElement(origin, static_cast<int>(i))) {
    return 0.0f;
  }
  if (origin->type == kParamChar) return LeadingDecimal(origin->GetString(static_cast<int>(i)));
  return origin->GetSignedValue(static_cast<int>(i), 0.0f);
}

bool GetPlateGeometryX(const CRecording& rec, int p, CPlateGeometry& geometry) {
  return Geometry(rec, p, true, geometry);
}

bool GetPlateGeometryY(const CRecording& rec, int p, CPlateGeometry& geometry) {
  return Geometry(rec, p, false, geometry);
}

int GetPlateAxisSign(const CRecording& rec, int p, int axis) {
  const CParam* corners = Param(rec, "CORNERS");
  if (corners == nullptr || corners->type == kParamChar) return 1;
  const long long base = 12LL * p;
  if (p < 0 || base + 12 > INT32_MAX) return 0;
  auto value = [&](int corner, int e, float& v) {
    const int i = static_cast<int>(base + 3 * corner + e);
    if (!HasElement(corners, i)) return false;
    v = TextNumber(corners, i, kCornerDecimals);
    return true;
  };
  float a = 0.0f;
  float b = 0.0f;
  float c = 0.0f;
  if (axis == 0) {
    if (!value(0, 0, a) || !value(1, 0, b) || !value(3, 0, c)) return 0;
    if (std::fabs(a - b) >= 10.0f) return a > b ? 1 : -1;
    return a > c ? 1 : -1;
  }
  if (!value(1, 1, a) || !value(2, 1, b) || !value(0, 1, c)) return 0;
  if (std::fabs(a - b) >= 10.0f) return a > b ? 1 : -1;
  return a >= c ? 1 : -1;
}

int GetPlateForceSign(const CRecording& rec, int p, int axis) {
  CCorners corners;
  if (!ReadCorners(rec, p, corners)) return axis == 0 ? 1 : -1;
  return GetPlateAxisSign(rec, p, axis);
}

void ComputeForceX(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 2, PlateComponent::FX, out);
}
void ComputeForceY(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 2, PlateComponent::FY, out);
}
void ComputeForceZ(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 2, PlateComponent::FZ, out);
}
void ComputeCopX(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 2, PlateComponent::DX, out);
}
void ComputeCopY(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 2, PlateComponent::DY, out);
}
void ComputeFreeMoment(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 2, PlateComponent::TZ, out);
}
void ComputeForceX3(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 3, PlateComponent::FX, out);
}
void ComputeForceY3(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 3, PlateComponent::FY, out);
}
void ComputeForceZ3(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 3, PlateComponent::FZ, out);
}
void ComputeCopX3(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 3, PlateComponent::DX, out);
}
void ComputeCopY3(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 3, PlateComponent::DY, out);
}
void ComputeFreeMoment3(const CRecording& rec, int p, std::vector<float>& out) {
  Series(rec, p, 3, PlateComponent::TZ, out);
}

bool ComputePlateComponent(const CRecording& rec, int p, PlateComponent c,
                           std::vector<float>& out) {
  const int type = GetPlateType(rec, p);
  Series(rec, p, type, c, out);
  return type == 2 || type == 3;
}

void ComputeCopShown(const CRecording& rec, int p, std::vector<unsigned char>& out) {
  out.assign(rec.AnalogSamplesHeld(), 0);
  const int type = GetPlateType(rec, p);
  if (out.empty() || p < 0 || (type != 2 && type != 3)) return;
  rec.WithAnalogSampleType([&](auto sampleType) {
    using Sample = std::remove_cv_t<std::remove_pointer_t<decltype(sampleType)>>;
    CopShown<Sample>(rec, p, type, out.data());
  });
}

bool GetPlateCorners(const CRecording& rec, int p, float corners[12]) {
  const CParam* param = Param(rec, "CORNERS");
  if (param == nullptr || param->type == kParamChar || p < 0) return false;
  const long long base = 12LL * p;
  if (base + 12 > param->elementCount) return false;
  for (int i = 0; i < 12; ++i) {
    if (!HasElement(param, static_cast<int>(base + i))) return false;
    corners[i] = param->GetValue(static_cast<int>(base + i));
  }
  return true;
}
