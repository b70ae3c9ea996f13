#include "export/DstExport.h"

#include <algorithm>
#include <type_traits>

#include "export/DstHeader.h"
#include "export/ExportRun.h"
#include "export/ItemLabels.h"
#include "export/NumberFormat.h"
#include "platform/OutputFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"

const char kDstSignatureFormat[] = "#!DST-2.0 Data file created by Kinex2 %s\n";

std::string MakeDstSignature(std::string_view version) {
  return Format(kDstSignatureFormat, std::string(version).c_str());
}

namespace {

constexpr char kOriginalFile[] = "$OriginalFile\n";

constexpr char kTypeGroup[] = "Type                       : GROUP\n";
constexpr char kTypeParameter[] = "Type                       : PARAMETER\n";
constexpr char kName[] = "Name                       : %s\n";
constexpr char kDescription[] = "Description                : %s\n";
constexpr char kLocked[] = "Locked                     : %s\n";
constexpr char kNumber[] = "Number                     : %d\n";
constexpr char kGroup[] = "Group                      : %s\n";
constexpr char kNumberOfDimensions[] = "Number of Dimensions       : %d\n";
constexpr char kDimensions[] = "Dimensions                 :";
constexpr char kDataType[] = "Data Type                  :";

const char* TrueFalse(int v) {
  return v != 0 ? "TRUE" : "FALSE";
}

class CDstWriter {
 public:
  CDstWriter(const CExportJob& job, const DstOptions& options, COutputFile& file)
      : m_job(job),
        m_rec(job.recording),
        m_sel(job.selection),
        m_options(options),
        m_file(file),
        m_out(file.Buffer()) {}

  void WriteDstHeader() { m_out += DstHeaderText(m_rec, m_job.format); }

  void WriteDstGroups(CProgressScope& progress) {
    const CParamSet& set = m_rec.paramSet;
    for (std::size_t g = 0; g < set.groups.size(); ++g) {
      if (!Selected(m_sel.groups, g)) continue;
      const CGroup& group = set.groups[g];
      Section(group.name);
      m_out += kTypeGroup;
      m_out += Format(kName, group.name.c_str());
      m_out += Format(kDescription, group.description.c_str());
      m_out += Format(kLocked, TrueFalse(group.locked));
      m_out += Format(kNumber, group.number);
      m_file.MaybeFlush();
      progress.Step();
    }
  }

  void WriteDstParams(CProgressScope& progress) {
    const CParamSet& set = m_rec.paramSet;
    for (std::size_t p = 0; p < set.params.size(); ++p) {
      if (!Selected(m_sel.params, p)) continue;
      const CParam& param = set.params[p];
      Section(param.name);
      m_out += kTypeParameter;
      m_out += Format(kName, param.name.c_str());
      m_out += Format(kDescription, param.description.c_str());
      m_out += Format(kLocked, TrueFalse(param.locked));
      m_out += Format(kGroup, set.GetGroupName(param).c_str());
      m_out += Format(kNumberOfDimensions, static_cast<int>(param.dimensions.size()));
      if (!param.dimensions.empty()) {
        m_out += kDimensions;
        for (std::uint8_t d : param.dimensions) {
          m_out += ' ';
          AppendInt(m_out, d);
        }
        m_out += '\n';
      }
      m_out += kDataType;
      m_out += ParamTypeName(param.type);
      m_out += '\n';
      WriteValues(param);
      m_file.MaybeFlush();
      progress.Step();
    }
  }

  void WriteDstAnalog(CProgressScope& progress) {
    m_rec.WithAnalogSampleType([&](auto type) {
      using Sample = std::remove_cv_t<std::remove_pointer_t<decltype(type)>>;
      WriteAnalogOf<Sample>(progress);
    });
  }

  void WriteDstPoints(CProgressScope& progress) {
    if (m_rec.integerData) {
      WritePointsOf<std::int16_t>(progress);
    } else {
      WritePointsOf<float>(progress);
    }
  }

 private:
  void Section(const std::string& name) {
    m_out += '$';
    m_out += ReplaceAll(name, ' ', '_');
    m_out += '\n';
  }

  void WriteValues(const CParam& param) {
    if (param.type == kParamChar) {
      for (const std::string& s : param.strings) {
        m_out += s;
        m_out += '\n';
      }
      return;
    }
    if (!param.IsNumeric()) return;
    const int n = std::min(param.elementCount, static_cast<int>(param.values.size()));
    for (int i = 0; i < n; ++i) {
      switch (param.type) {
        case kParamByte:
          AppendInt(m_out, static_cast<std::int8_t>(param.GetByte(i)));
          break;
        case kParamInt:
          AppendInt(m_out, param.GetInt(i));
          break;
        default:
          AppendFixed(m_out, param.GetFloat(i), 4);
          break;
      }
      m_out += '\n';
      m_file.MaybeFlush();
    }
  }

  // Frame indices F - F0 .. L - F0 clipped to what the recording holds; an
  // empty range when the document's range lies outside it.
  void FrameIndices(long long& first, long long& last) const {
    ClippedFrameIndices(m_rec, m_sel, first, last);
  }

  template <typename Sample>
  void WriteAnalogOf(CProgressScope& progress) {
    const CFormatDescription& format = m_job.format;
    const CParamSet& set = m_rec.paramSet;
    const int channels = m_rec.AnalogCount();
    // C3D writes every sample of a frame; the other formats one per frame.
    const long long r = format.allAnalogSamples ? std::max(m_rec.analogRatio, 0) : 1;
    long long i0 = 0;
    long long i1 = 0;
    FrameIndices(i0, i1);
    const bool scaled = m_options.AnalogScaled != 0;
    const int decimals = (scaled || !m_rec.integerData) ? m_options.Precision : 0;
    const float general = scaled && format.analogScalable ? m_rec.GetGenScale() : 1.0f;
    const CContinuedStrings labels(set, "Analog", "Labels");
    for (int k = 0; k < channels; ++k) {
      if (!Selected(m_sel.analog, static_cast<std::size_t>(k))) continue;
      float scale = 1.0f;
      float offset = 0.0f;
      if (scaled && format.analogScalable) {
        scale = general * m_rec.GetScale(k);
        offset = m_rec.GetOffset(k, format.defaultOffset);
      }
      m_out += '!';
      m_out += ChannelSectionName(ItemLabel(labels, k, format.channelLabelFormat));
      m_out += "-1\n";
      const CSampleBuffer& buffer = m_rec.analog[k].samples;
      const Sample* data = SamplesAs<Sample>(buffer);
      const long long size = static_cast<long long>(buffer.Size());
      const long long s0 = i0 * r;
      const long long s1 = std::min((i1 + 1) * r, size);
      if (data != nullptr) {
        WriteInBlocks(m_file, BlockRun(m_job, s0, s1, kSampleBytes),
                      [&](std::int64_t b, std::int64_t e, std::string& out) {
                        for (std::int64_t s = b; s < e; ++s) {
                          AppendFixed(out, (static_cast<float>(data[s]) - offset) * scale,
                                      decimals);
                          out += '\n';
                        }
                      });
      }
      progress.Step();
    }
  }

  template <typename Sample>
  void WritePointsOf(CProgressScope& progress) {
    const bool integer = m_rec.integerData;
    const bool videoScaled = integer && m_options.VideoScaled != 0;
    const int decimals = (!integer || videoScaled) ? m_options.Precision : 0;
    const float factor = m_rec.markerScale;
    const bool resid = m_options.ShowResid != 0;
    const bool mask = m_options.ShowMask != 0;
    const char* suffix = resid && mask ? "-5\n" : (resid || mask) ? "-4\n" : "-3\n";
    long long i0 = 0;
    long long i1 = 0;
    FrameIndices(i0, i1);
    const CContinuedStrings labels(m_rec.paramSet, "Point", "Labels");
    for (int j = 0; j < m_rec.PointCount(); ++j) {
      if (!Selected(m_sel.points, static_cast<std::size_t>(j))) continue;
      m_out += '!';
      m_out += ChannelSectionName(ItemLabel(labels, j, kMarkerLabelFormat));
      m_out += suffix;
      const CSampleBuffer& buffer = m_rec.points[j].samples;
      const Sample* data = SamplesAs<Sample>(buffer);
      const long long frames = std::min(i1 + 1, static_cast<long long>(buffer.Size() / 4));
      const auto format = [&](std::int64_t b, std::int64_t e, std::string& out) {
        for (std::int64_t i = b; i < e; ++i) {
          const Sample* rec = data + i * 4;
          for (int c = 0; c < 3; ++c) {
            const float v =
                videoScaled ? static_cast<float>(rec[c]) * factor : static_cast<float>(rec[c]);
            AppendFixed(out, v, decimals);
            out += ' ';
          }
          if (resid || mask) {
            char cameras[8];
            const float u = m_rec.GetResidualAndCameras(j, static_cast<int>(i), cameras);
            if (resid) {
              AppendFixed(out, u, decimals);
              out += ' ';
            }
            if (mask) out.append(cameras, 7);
          }
          out += '\n';
        }
      };
      if (data != nullptr) WriteInBlocks(m_file, BlockRun(m_job, i0, frames, kPointBytes), format);
      progress.Step();
    }
  }

  const CExportJob& m_job;
  const CRecording& m_rec;
  const CExportSelection& m_sel;
  const DstOptions& m_options;
  COutputFile& m_file;
  std::string& m_out;
};

// One step per selected item, and one for the header.
int ProgressRange(const CExportJob& job) {
  const CRecording& rec = job.recording;
  const CExportSelection& sel = job.selection;
  int n = sel.header != 0 ? 1 : 0;
  n += CountSelected(sel.groups, rec.paramSet.groups.size());
  n += CountSelected(sel.params, rec.paramSet.params.size());
  n += CountSelected(sel.analog, rec.analog.size());
  if (job.format.hasPoints) n += CountSelected(sel.points, rec.points.size());
  return n;
}

}  // namespace

std::uint64_t ExportDstGeneral(const CExportJob& job, const DstOptions& options,
                               std::string_view signature) {
  const auto write = [&](COutputFile& file, CProgressScope& progress) {
    CDstWriter writer(job, options, file);
    std::string& out = file.Buffer();
    out += signature;
    out += kOriginalFile;
    out += job.recording.fileName.string();
    out += '\n';
    if (job.selection.header != 0) {
      writer.WriteDstHeader();
      progress.Step();
    }
    writer.WriteDstGroups(progress);
    writer.WriteDstParams(progress);
    writer.WriteDstAnalog(progress);
    if (job.format.hasPoints) writer.WriteDstPoints(progress);
  };
  return RunExport(job, ProgressRange(job), write, job.format.exportedLogFormat);
}
