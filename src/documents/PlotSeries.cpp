#include "documents/PlotSeries.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <type_traits>

#include "documents/ItemDetails.h"
#include "formats/FormatDescription.h"

namespace {

template <typename Sample>
bool Missing(const Sample* data, std::size_t record) {
  if constexpr (std::is_same_v<Sample, std::int16_t>) {
    return data[record] < 0;
  } else {
    return TruncateToWord(data[record]) < 0;
  }
}

// Raw extremes of samples [i0, i1) into `col`, skipping missing ones.
template <typename Sample>
void Scan(const Sample* data, const CPlotSeries& s, std::size_t i0, std::size_t i1,
          CEnvelopeColumn& col) {
  Sample lo{};
  Sample hi{};
  bool any = false;
  const Sample* p = data + s.start + i0 * s.stride;
  for (std::size_t i = i0; i < i1; ++i, p += s.stride) {
    // The residual follows the coordinates of the same record.
    if (s.residualGaps && Missing(data, i * s.stride + 3)) continue;
    const Sample v = *p;
    if (!any) {
      lo = hi = v;
      any = true;
    } else {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  }
  if (!any) return;
  const float a = (static_cast<float>(lo) - s.offset) * s.scale;
  const float b = (static_cast<float>(hi) - s.offset) * s.scale;
  col.lo = std::min(a, b);
  col.hi = std::max(a, b);
  col.valid = true;
}

template <typename Sample>
void Envelope(const Sample* data, const CPlotSeries& s, double x0, double x1,
              std::vector<CEnvelopeColumn>& out) {
  const int columns = static_cast<int>(out.size());
  const double w = (x1 - x0) / columns;
  const double n = static_cast<double>(s.count);
  // First sample at or after frame-axis position x.
  auto firstAt = [&](double x) {
    const double i = std::ceil(x * s.samplesPerFrame);
    return static_cast<std::size_t>(std::clamp(i, 0.0, n));
  };
  std::size_t begin = firstAt(x0);
  for (int c = 0; c < columns; ++c) {
    const std::size_t end = firstAt(x0 + (c + 1) * w);
    if (end > begin) Scan(data, s, begin, end, out[static_cast<std::size_t>(c)]);
    begin = std::max(begin, end);
  }
}

}  // namespace

float CPlotSeries::Value(std::size_t i) const {
  return (buffer->At(start + i * stride) - offset) * scale;
}

bool CPlotSeries::Valid(std::size_t i) const {
  if (!residualGaps) return true;
  const std::size_t record = i * stride + 3;
  return buffer->IsInteger() ? buffer->Ints()[record] >= 0
                             : TruncateToWord(buffer->Floats()[record]) >= 0;
}

std::size_t CPlotSeries::Nearest(double x) const {
  if (count == 0) return 0;
  const double i = std::round(x * samplesPerFrame);
  return static_cast<std::size_t>(std::clamp(i, 0.0, static_cast<double>(count - 1)));
}

CPlotSeries ChannelSeries(const CRecording& rec, const CFormatDescription& format, int k,
                          std::string name) {
  CPlotSeries s;
  s.name = std::move(name);
  const CSampleBuffer& b = rec.analog[static_cast<std::size_t>(k)].samples;
  s.buffer = &b;
  s.count = b.Size();
  // C3D keeps every analog sample of a frame; the other formats one per frame.
  s.samplesPerFrame = format.allAnalogSamples ? std::max(rec.analogRatio, 1) : 1;
  if (format.analogScalable) {
    s.scale = rec.GetGenScale() * rec.GetScale(k);
    s.offset = rec.GetOffset(k, format.defaultOffset);
  }
  s.unit = ChannelUnit(rec, format, k);
  return s;
}

CPlotSeries PointSeries(const CRecording& rec, int j, int c, std::string name) {
  CPlotSeries s;
  s.name = std::move(name);
  const CSampleBuffer& b = rec.points[static_cast<std::size_t>(j)].samples;
  s.buffer = &b;
  s.count = b.Size() / 4;
  s.stride = 4;
  s.start = static_cast<std::size_t>(c);
  s.scale = rec.integerData ? rec.markerScale : 1.0f;
  s.residualGaps = true;
  s.point = true;
  // POINT:UNITS names one unit for every point.
  if (const std::string* unit = CContinuedStrings(rec.paramSet, "Point", "Units").At(0)) {
    s.unit = *unit;
  }
  return s;
}

std::vector<CEnvelopeColumn> ComputeEnvelope(const CPlotSeries& series, double x0, double x1,
                                             int columns) {
  std::vector<CEnvelopeColumn> out(static_cast<std::size_t>(std::max(columns, 0)));
  if (out.empty() || !(x1 > x0) || series.buffer == nullptr || series.count == 0) return out;
  WithSampleType(*series.buffer, [&](auto type) {
    using Sample = std::remove_cv_t<std::remove_pointer_t<decltype(type)>>;
    Envelope(SamplesAs<Sample>(*series.buffer), series, x0, x1, out);
  });
  return out;
}

std::string TickLabel(double value, double step) {
  if (!std::isfinite(value)) return {};
  step = std::fabs(step);
  if (!(step > 0.0) || !std::isfinite(step)) step = std::fabs(value) > 0.0 ? std::fabs(value) : 1.0;
  // Snap to the tick grid, so that 0.30000000000000004 prints as 0.3 and a
  // tick at zero never shows as "-0".
  const double snapped = std::round(value / step) * step;
  value = std::fabs(snapped) < step * 1e-6 ? 0.0 : snapped;
  static const struct {
    double factor;
    const char* prefix;
  } kPrefixes[] = {{1e12, "T"}, {1e9, "G"}, {1e6, "M"}, {1e3, "k"},
                   {1e-3, "m"}, {1e-6, "\xC2\xB5"}, {1e-9, "n"}, {1e-12, "p"}};
  double factor = 1.0;
  const char* prefix = "";
  const double size = std::max(std::fabs(value), step);
  if (size >= 1e7 || step < 1e-6) {
    for (const auto& p : kPrefixes) {
      if (size >= p.factor) {
        factor = p.factor;
        prefix = p.prefix;
        break;
      }
      factor = p.factor;
      prefix = p.prefix;
    }
  }
  const double scaledStep = step / factor;
  const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(scaledStep) - 1e-9)), 0, 9);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f%s", decimals, value / factor, prefix);
  return text;
}

CDetailsTable CursorValues(const std::vector<CPlotSeries>& series, int frame) {
  CDetailsTable t;
  std::vector<std::string> row;
  for (const CPlotSeries& s : series) {
    t.columns.push_back(s.unit.empty() ? s.name : s.name + " (" + s.unit + ")");
    const std::size_t i = static_cast<std::size_t>(std::max(0.0, std::ceil(frame * s.samplesPerFrame)));
    if (s.buffer == nullptr || i >= s.count || frame < 0) {
      row.emplace_back();
    } else if (!s.Valid(i)) {
      row.emplace_back("gap");
    } else {
      char text[48];
      std::snprintf(text, sizeof text, "%.6g", static_cast<double>(s.Value(i)));
      row.emplace_back(text);
    }
  }
  if (!series.empty()) t.rows.push_back(std::move(row));
  return t;
}
