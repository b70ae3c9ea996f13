#include "export/OpenSimExport.h"

#include <algorithm>
#include <climits>
#include <string>
#include <type_traits>
#include <vector>

#include "export/ExportRun.h"
#include "export/ItemLabels.h"
#include "export/NumberFormat.h"
#include "export/VdoExport.h"
#include "formats/c3d/ForcePlates.h"
#include "platform/OutputFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace {

constexpr int kRateDecimals = 2;
constexpr int kTimeDecimals = 6;
constexpr int kValueDecimals = 6;
constexpr char kDefaultUnits[] = "mm";

float FrameRateOf(const CExportJob& job) {
  return job.format.frameRate != nullptr ? job.format.frameRate(job.recording) : 0.0f;
}

std::string FileNameOf(const CExportJob& job) {
  return job.output.filename().string();
}

int FrameProgress(long long i0, long long i1) {
  return static_cast<int>(std::clamp<long long>(i1 - i0 + 2, 1, INT_MAX));
}

// ---- TRC -------------------------------------------------------------------

template <typename Sample>
void TrcRows(const CExportJob& job, const std::vector<int>& markers, long long i0, long long i1,
             COutputFile& file, CProgressScope& progress) {
  const CRecording& rec = job.recording;
  const double rate = FrameRateOf(job);
  const float scale = rec.markerScale;
  std::vector<const Sample*> data;
  std::vector<long long> held;
  for (int j : markers) {
    const CSampleBuffer& b = rec.points[static_cast<std::size_t>(j)].samples;
    data.push_back(SamplesAs<Sample>(b));
    held.push_back(data.back() != nullptr ? static_cast<long long>(b.Size() / 4) : 0);
  }
  const auto format = [&](std::int64_t b, std::int64_t e, std::string& out) {
    for (std::int64_t i = b; i < e; ++i) {
      AppendInt(out, rec.firstFrame + i);
      out += '\t';
      AppendFixed(out, rate > 0.0 ? static_cast<double>(i) / rate : 0.0, kTimeDecimals);
      for (std::size_t m = 0; m < markers.size(); ++m) {
        if (i >= held[m] || !rec.FrameHoldsData(markers[m], static_cast<int>(i))) {
          out += "\t\t\t";
          continue;
        }
        const Sample* r = data[m] + 4 * i;
        for (int c = 0; c < 3; ++c) {
          out += '\t';
          if constexpr (std::is_same_v<Sample, std::int16_t>) {
            AppendFixed(out, static_cast<float>(r[c]) * scale, kValueDecimals);
          } else {
            AppendFixed(out, r[c], kValueDecimals);
          }
        }
      }
      out += '\n';
    }
  };
  WriteInBlocks(file, BlockRun(job, i0, i1 + 1, markers.size() * 3 * 10 + 16), format,
                [&](std::int64_t b, std::int64_t e) { progress.Steps(e - b); });
}

// ---- MOT -------------------------------------------------------------------

// One value column of a MOT file: an analog channel, scaled, or a plate
// series already computed, times a factor.
struct CMotColumn {
  std::string name;
  int channel = -1;  // analog channel, or -1 for `series`
  float scale = 1.0f;
  float offset = 0.0f;
  std::vector<float> series;
  float factor = 1.0f;
  bool zero = false;  // a column OpenSim expects that is 0 by definition
};

// N m per unit of a plate's moment channel: N mm moments become N m.
float MomentToNewtonMetres(const CRecording& rec, int p, int component) {
  const int channel = GetPlateChannel(rec, p, component);
  if (channel < 0) return 1.0f;
  const std::string* unit = CContinuedStrings(rec.paramSet, "Analog", "Units").At(channel);
  if (unit == nullptr) return 1.0f;
  std::string u;
  for (char c : *unit) {
    if (c != ' ' && c != '.' && c != '*' && c != '-') u += c;
  }
  return EqualsNoCase(u, "Nmm") ? 0.001f : 1.0f;
}

void PlateColumns(const CExportJob& job, std::vector<CMotColumn>& columns) {
  const CRecording& rec = job.recording;
  if (!job.format.hasForcePlates) return;
  const float metres = PointUnitFactor(rec.paramSet);
  for (int p = 0; p < GetPlateCount(rec); ++p) {
    const int type = GetPlateType(rec, p);
    if (type != 2 && type != 3) continue;
    const std::string prefix = std::to_string(p + 1) + "_ground_";
    auto series = [&](const char* name, PlateComponent c, float factor) {
      CMotColumn col;
      col.name = prefix + name;
      ComputePlateComponent(rec, p, c, col.series);
      col.factor = factor;
      columns.push_back(std::move(col));
    };
    auto zero = [&](const char* name) {
      CMotColumn col;
      col.name = prefix + name;
      col.zero = true;
      columns.push_back(std::move(col));
    };
    // The signs the VDO flavour gives them: along the laboratory's axes,
    // the vertical force pushing up on the subject.
    series("force_vx", PlateComponent::FX, static_cast<float>(GetPlateForceSign(rec, p, 0)));
    series("force_vy", PlateComponent::FY, static_cast<float>(GetPlateForceSign(rec, p, 1)));
    series("force_vz", PlateComponent::FZ, -1.0f);
    series("force_px", PlateComponent::DX, metres);
    series("force_py", PlateComponent::DY, metres);
    zero("force_pz");
    zero("torque_x");
    zero("torque_y");
    // A type-2 plate measures its moment (channel Mz, in its ANALOG:UNITS);
    // a type-3 plate's comes from forces times lengths in the point units.
    series("torque_z", PlateComponent::TZ, type == 2 ? MomentToNewtonMetres(rec, p, 5) : metres);
  }
}

template <typename Sample>
void MotRows(const CExportJob& job, std::vector<CMotColumn>& columns, long long s0, long long s1,
             double analogRate, COutputFile& file, CProgressScope& progress) {
  const CRecording& rec = job.recording;
  std::vector<const Sample*> data(columns.size(), nullptr);
  std::vector<long long> held(columns.size(), 0);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (columns[c].channel < 0) {
      held[c] = static_cast<long long>(columns[c].series.size());
      continue;
    }
    const CSampleBuffer& b = rec.analog[static_cast<std::size_t>(columns[c].channel)].samples;
    data[c] = SamplesAs<Sample>(b);
    held[c] = data[c] != nullptr ? static_cast<long long>(b.Size()) : 0;
  }
  const long long perFrame = job.format.allAnalogSamples ? std::max(rec.analogRatio, 1) : 1;
  const auto format = [&](std::int64_t b, std::int64_t e, std::string& out) {
    for (std::int64_t s = b; s < e; ++s) {
      AppendFixed(out, analogRate > 0.0 ? static_cast<double>(s) / analogRate : 0.0,
                  kTimeDecimals);
      for (std::size_t c = 0; c < columns.size(); ++c) {
        const CMotColumn& col = columns[c];
        float v = 0.0f;
        if (!col.zero && s < held[c]) {
          v = col.channel >= 0 ? (static_cast<float>(data[c][s]) - col.offset) * col.scale
                               : col.factor * col.series[static_cast<std::size_t>(s)];
        }
        out += '\t';
        AppendFixed(out, v, kValueDecimals);
      }
      out += '\n';
    }
  };
  // A step for every frame whose last sample was written.
  const auto written = [&](std::int64_t b, std::int64_t e) {
    progress.Steps((e - s0) / perFrame - (b - s0) / perFrame);
  };
  WriteInBlocks(file, BlockRun(job, s0, s1, columns.size() * 10 + 12), format, written);
}

}  // namespace

std::uint64_t ExportTrc(const CExportJob& job) {
  const CRecording& rec = job.recording;
  std::vector<int> markers;
  for (int j = 0; j < rec.PointCount(); ++j) {
    if (Selected(job.selection.points, static_cast<std::size_t>(j))) markers.push_back(j);
  }
  long long i0 = 0;
  long long i1 = -1;
  ClippedFrameIndices(rec, job.selection, i0, i1);
  const auto write = [&](COutputFile& file, CProgressScope& progress) {
    std::string& out = file.Buffer();
    const double rate = FrameRateOf(job);
    const std::vector<std::string> names =
        ItemLabels(rec.paramSet, "Point", "Labels", kMarkerLabelFormat, rec.PointCount());
    const std::string* unit = CContinuedStrings(rec.paramSet, "Point", "Units").At(0);
    const std::string units =
        unit != nullptr && !TrimView(*unit).empty() ? Trim(*unit) : kDefaultUnits;
    const long long frames = std::max<long long>(i1 - i0 + 1, 0);
    out += "PathFileType\t4\t(X/Y/Z)\t" + FileNameOf(job) + "\n";
    out +=
        "DataRate\tCameraRate\tNumFrames\tNumMarkers\tUnits\tOrigDataRate\tOrigDataStartFrame\t"
        "OrigNumFrames\n";
    AppendFixed(out, rate, kRateDecimals);
    out += '\t';
    AppendFixed(out, rate, kRateDecimals);
    out += '\t';
    AppendInt(out, frames);
    out += '\t';
    AppendInt(out, static_cast<std::int64_t>(markers.size()));
    out += '\t' + units + '\t';
    AppendFixed(out, rate, kRateDecimals);
    out += '\t';
    AppendInt(out, rec.firstFrame + i0);
    out += '\t';
    AppendInt(out, rec.FrameCount());
    out += "\nFrame#\tTime";
    for (int j : markers) out += '\t' + names[static_cast<std::size_t>(j)] + "\t\t";
    out += "\n\t";
    for (std::size_t m = 1; m <= markers.size(); ++m) {
      const std::string n = std::to_string(m);
      out += "\tX" + n + "\tY" + n + "\tZ" + n;
    }
    out += "\n\n";
    progress.Step();
    if (rec.integerData) {
      TrcRows<std::int16_t>(job, markers, i0, i1, file, progress);
    } else {
      TrcRows<float>(job, markers, i0, i1, file, progress);
    }
  };
  return RunExport(job, FrameProgress(i0, i1), write, job.format.exportedLogFormat);
}

std::uint64_t ExportMot(const CExportJob& job) {
  const CRecording& rec = job.recording;
  long long i0 = 0;
  long long i1 = -1;
  ClippedFrameIndices(rec, job.selection, i0, i1);
  const long long perFrame = job.format.allAnalogSamples ? std::max(rec.analogRatio, 1) : 1;
  const double frameRate = FrameRateOf(job);
  const double analogRate = frameRate * static_cast<double>(perFrame);
  const long long s0 = i0 * perFrame;
  const long long s1 = std::max(s0, (i1 + 1) * perFrame);
  const auto write = [&](COutputFile& file, CProgressScope& progress) {
    std::vector<CMotColumn> columns;
    const std::vector<std::string> names = ItemLabels(
        rec.paramSet, "Analog", "Labels", job.format.channelLabelFormat, rec.AnalogCount());
    const bool scalable = job.format.analogScalable;
    const float general = scalable ? rec.GetGenScale() : 1.0f;
    for (int k = 0; k < rec.AnalogCount(); ++k) {
      if (!Selected(job.selection.analog, static_cast<std::size_t>(k))) continue;
      CMotColumn col;
      col.name = ChannelSectionName(names[static_cast<std::size_t>(k)]);
      col.channel = k;
      col.scale = scalable ? rec.GetScale(k) * general : 1.0f;
      col.offset = scalable ? rec.GetOffset(k, job.format.defaultOffset) : 0.0f;
      columns.push_back(std::move(col));
    }
    PlateColumns(job, columns);
    std::string& out = file.Buffer();
    out += FileNameOf(job) + "\nversion=1\nnRows=";
    AppendInt(out, s1 - s0);
    out += "\nnColumns=";
    AppendInt(out, static_cast<std::int64_t>(columns.size()) + 1);
    out += "\ninDegrees=no\nendheader\ntime";
    for (const CMotColumn& c : columns) out += '\t' + c.name;
    out += '\n';
    progress.Step();
    rec.WithAnalogSampleType([&](auto type) {
      using Sample = std::remove_cv_t<std::remove_pointer_t<decltype(type)>>;
      MotRows<Sample>(job, columns, s0, s1, analogRate, file, progress);
    });
  };
  return RunExport(job, FrameProgress(i0, i1), write, job.format.exportedLogFormat);
}
