#include "export/VdoExport.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "export/ExportRun.h"
#include "export/ItemLabels.h"
#include "export/NumberFormat.h"
#include "formats/c3d/ForcePlates.h"
#include "platform/OutputFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"

const char kVdoSignature[] = "#!DST-2.0 VDO-2.0\n";
const char kNoMarkerTranslations[] =
    "There are no marker name translations present in the system and so no marker data can be "
    "written to the DST file";

namespace {

constexpr char kMarkerFrequency[] = "!MarkerFrequency\n";
constexpr char kForcePlateFrequency[] = "!ForcePlateFrequency\n";
constexpr char kEmgFrequency[] = "!EMGFrequency\n";
constexpr char kCornerSection[] = "!ForcePlate%dCorner%d-3%s";
// Component sections, in the order FX, FY, FZ, DX, DY, TZ.
constexpr const char* kComponentSections[kPlateComponents] = {
    "!ForcePlate%dFX%s", "!ForcePlate%dFY%s", "!ForcePlate%dFZ%s",
    "!ForcePlate%dDX%s", "!ForcePlate%dDY%s", "!ForcePlate%dTZ%s"};
constexpr int kRateDecimals = 2;
constexpr int kCornerDecimals = 3;
constexpr int kEmgDecimals = 3;
constexpr int kMarkerDecimals = 3;

struct CUnit {
  const char* name;
  float metres;
};
constexpr CUnit kUnits[] = {
    {"mm", 0.001f},    {"cm", 0.01f},   {"ft", 0.3048f},
    {"feet", 0.3048f}, {"in", 0.0254f}, {"inch", 0.0254f},
};

class CVdoWriter {
 public:
  CVdoWriter(const CExportJob& job, const DstOptions& options, const LabelTranslations& labels,
             COutputFile& file)
      : m_job(job),
        m_rec(job.recording),
        m_sel(job.selection),
        m_options(options),
        m_labels(labels),
        m_file(file),
        m_out(file.Buffer()),
        m_unit(PointUnitFactor(job.recording.paramSet)),
        m_plates(GetPlateCount(job.recording)),
        m_r(std::max(job.recording.analogRatio, 0)) {
    // Frame indices F - F0 .. L - F0 clipped to what the recording holds.
    ClippedFrameIndices(m_rec, m_sel, m_i0, m_i1);
  }

  void WriteRates() {
    const float fr = m_job.format.frameRate != nullptr ? m_job.format.frameRate(m_rec) : 0.0f;
    const float analogRate = static_cast<float>(m_r) * fr;
    m_out += kMarkerFrequency;
    Line(fr, kRateDecimals);
    m_out += kForcePlateFrequency;
    Line(analogRate, kRateDecimals);
    m_out += kEmgFrequency;
    Line(analogRate, kRateDecimals);
  }

  void WriteExtraLines() {
    for (const std::string& line : m_labels.extraLines) {
      const std::size_t comma = line.find(',');
      const std::string first = line.substr(0, comma);
      if (first.empty() || (first[0] != '$' && first[0] != '!')) continue;
      m_out += first;
      m_out += '\n';
      if (comma != std::string::npos) {
        const std::size_t end = line.find(',', comma + 1);
        m_out.append(line, comma + 1,
                     end == std::string::npos ? std::string::npos : end - comma - 1);
      }
      m_out += '\n';
    }
  }

  void WriteCorners() {
    const CParam* corners = m_rec.paramSet.Find("FORCE_PLATFORM", "CORNERS");
    if (corners == nullptr) return;
    for (int p = 1; p <= m_plates; ++p) {
      for (int k = 1; k <= 4; ++k) {
        m_out += Format(kCornerSection, p, k, "\n");
        for (int e = 0; e < 3; ++e) {
          const long long i = 12LL * (p - 1) + 3LL * (k - 1) + e;
          const float v = i <= INT_MAX ? LeadingDecimal(FormatParamElement(
                                             corners, static_cast<int>(i), kCornerDecimals))
                                       : 0.0f;
          if (e > 0) m_out += "  ";
          AppendFixed(m_out, v * m_unit, kCornerDecimals);
        }
        m_out += '\n';
        m_file.MaybeFlush();
      }
    }
  }

  void WriteEmg(CProgressScope& progress) {
    m_rec.WithAnalogSampleType([&](auto type) {
      using Sample = std::remove_cv_t<std::remove_pointer_t<decltype(type)>>;
      WriteEmgOf<Sample>(progress);
    });
  }

  void WriteForcePlates(CProgressScope& progress) {
    if (m_rec.paramSet.Find("FORCE_PLATFORM", "TYPE") == nullptr) {
      for (int i = 0; i < kPlateComponents * m_plates; ++i) progress.Step();
      return;
    }
    std::vector<float> series;
    const long long s0 = m_i0 * m_r;
    const long long s1 = (m_i1 + 1) * m_r;
    for (int p = 0; p < m_plates; ++p) {
      const int type = GetPlateType(m_rec, p);
      // Each component is written so that it points along the laboratory's
      // axes: a plate turned round gives forces of the other sign.
      const float signX = static_cast<float>(GetPlateForceSign(m_rec, p, 0));
      const float signY = static_cast<float>(GetPlateForceSign(m_rec, p, 1));
      for (int c = 0; c < kPlateComponents; ++c) {
        const std::size_t flag = static_cast<std::size_t>(kPlateComponents) * p + c;
        if ((type == 2 || type == 3) && Selected(m_sel.forcePlates, flag)) {
          const auto component = static_cast<PlateComponent>(c);
          ComputePlateComponent(m_rec, p, component, series);
          float factor = 1.0f;
          switch (component) {
            case PlateComponent::FX:
              factor = signX;
              break;
            case PlateComponent::FY:
              factor = signY;
              break;
            case PlateComponent::FZ:
              factor = -1.0f;
              break;
            default:
              factor = m_unit;
              break;
          }
          m_out += Format(kComponentSections[c], p + 1, "\n");
          const long long end = std::min(s1, static_cast<long long>(series.size()));
          const int decimals = m_options.Precision;
          WriteInBlocks(m_file, BlockRun(m_job, s0, end, kSampleBytes),
                        [&](std::int64_t b, std::int64_t e, std::string& out) {
                          for (std::int64_t s = b; s < e; ++s) {
                            AppendFixed(out, factor * series[static_cast<std::size_t>(s)],
                                        decimals);
                            out += '\n';
                          }
                        });
        }
        progress.Step();
      }
    }
  }

  void WriteMarkers(CProgressScope& progress) {
    if (m_labels.sourceNames.empty()) {
      m_job.platform.LogMessage(kNoMarkerTranslations, true, false);
      return;
    }
    if (m_rec.integerData) {
      WriteMarkersOf<std::int16_t>(progress);
    } else {
      WriteMarkersOf<float>(progress);
    }
  }

 private:
  void Line(float v, int decimals) {
    AppendFixed(m_out, v, decimals);
    m_out += '\n';
  }

  // The section line of a translated item, or false when `name` has none.
  bool TranslatedSection(const std::string& name, const char* suffix) {
    const int t = FindLabelTranslation(m_labels.sourceNames, name);
    if (t < 0 || static_cast<std::size_t>(t) >= m_labels.dstNames.size()) return false;
    m_out += '!';
    m_out += ChannelSectionName(m_labels.dstNames[static_cast<std::size_t>(t)]);
    m_out += suffix;
    return true;
  }

  template <typename Sample>
  void WriteEmgOf(CProgressScope& progress) {
    const CContinuedStrings names(m_rec.paramSet, "Analog", "Labels");
    const float general = m_rec.GetGenScale();
    for (int k = 0; k < m_rec.AnalogCount(); ++k) {
      if (!Selected(m_sel.analog, static_cast<std::size_t>(k))) continue;
      if (!TranslatedSection(ItemLabel(names, k, m_job.format.channelLabelFormat), "-1\n")) {
        continue;
      }
      const float offset = m_rec.GetOffset(k, m_job.format.defaultOffset);
      const float scale = m_rec.GetScale(k);
      const CSampleBuffer& buffer = m_rec.analog[static_cast<std::size_t>(k)].samples;
      const Sample* data = SamplesAs<Sample>(buffer);
      const long long end = std::min((m_i1 + 1) * m_r, static_cast<long long>(buffer.Size()));
      if (data != nullptr) {
        WriteInBlocks(m_file, BlockRun(m_job, m_i0 * m_r, end, kSampleBytes),
                      [&](std::int64_t b, std::int64_t e, std::string& out) {
                        for (std::int64_t s = b; s < e; ++s) {
                          AppendFixed(out, (static_cast<float>(data[s]) - offset) * scale * general,
                                      kEmgDecimals);
                          out += '\n';
                        }
                      });
      }
      progress.Step();
    }
  }

  template <typename Sample>
  void WriteMarkersOf(CProgressScope& progress) {
    const CContinuedStrings names(m_rec.paramSet, "Point", "Labels");
    // Integer coordinates are counts of the marker scale factor.
    const bool integer = m_rec.integerData;
    const float factor = m_rec.markerScale;
    for (int j = 0; j < m_rec.PointCount(); ++j) {
      if (!Selected(m_sel.points, static_cast<std::size_t>(j))) continue;
      if (!TranslatedSection(ItemLabel(names, j, kMarkerLabelFormat), "-3\n")) continue;
      const CSampleBuffer& buffer = m_rec.points[static_cast<std::size_t>(j)].samples;
      const Sample* data = SamplesAs<Sample>(buffer);
      const long long frames = std::min(m_i1 + 1, static_cast<long long>(buffer.Size() / 4));
      const float unit = m_unit;
      if (data != nullptr) {
        WriteInBlocks(m_file, BlockRun(m_job, m_i0, frames, kPointBytes),
                      [&](std::int64_t b, std::int64_t e, std::string& out) {
                        for (std::int64_t i = b; i < e; ++i) {
                          const Sample* rec = data + i * 4;
                          for (int c = 0; c < 3; ++c) {
                            const float v = static_cast<float>(rec[c]);
                            AppendFixed(out, unit * (integer ? factor * v : v), kMarkerDecimals);
                            out += ' ';
                          }
                          out += '\n';
                        }
                      });
      }
      progress.Step();
    }
  }

  const CExportJob& m_job;
  const CRecording& m_rec;
  const CExportSelection& m_sel;
  const DstOptions& m_options;
  const LabelTranslations& m_labels;
  COutputFile& m_file;
  std::string& m_out;
  const float m_unit;
  const int m_plates;
  const long long m_r;
  long long m_i0 = 0;
  long long m_i1 = -1;
};

}  // namespace

float PointUnitFactor(const CParamSet& set) {
  const CParam* units = set.Find("Point", "Units");
  if (units == nullptr || units->type != kParamChar) return 1.0f;
  const std::string_view unit = TrimView(units->GetString(0));
  for (const CUnit& u : kUnits) {
    if (EqualsNoCase(unit, u.name)) return u.metres;
  }
  return 1.0f;
}

int VdoProgressRange(const CExportJob& job) {
  const CRecording& rec = job.recording;
  const long long n = 1LL + CountSelected(job.selection.analog, rec.analog.size()) +
                      CountSelected(job.selection.points, rec.points.size()) +
                      static_cast<long long>(kPlateComponents) * GetPlateCount(rec);
  return static_cast<int>(std::min<long long>(n, INT_MAX));
}

std::uint64_t ExportDstVdo(const CExportJob& job, const DstOptions& options,
                           const LabelTranslations& labels) {
  const auto write = [&](COutputFile& file, CProgressScope& progress) {
    CVdoWriter writer(job, options, labels, file);
    file.Buffer() += kVdoSignature;
    writer.WriteRates();
    writer.WriteExtraLines();
    writer.WriteCorners();
    progress.Step();
    writer.WriteEmg(progress);
    writer.WriteForcePlates(progress);
    writer.WriteMarkers(progress);
  };
  return RunExport(job, VdoProgressRange(job), write, job.format.exportedLogFormat);
}
