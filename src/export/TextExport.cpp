#include "export/TextExport.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <type_traits>
#include <vector>

#include "export/ExportRun.h"
#include "export/ItemLabels.h"
#include "export/NumberFormat.h"
#include "platform/OutputFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace {

// The separator by the "Delimiter" index: comma, space, anything else a tab.
constexpr const char* kDelimiters[] = {",", " ", "\t"};

constexpr char kOriginalFileLine[] = "OriginalFile%s%s\n";
constexpr char kEventName[] = "Event Name";
constexpr char kEventStatus[] = "Status";
constexpr char kEventTime[] = "Time";
constexpr char kOn[] = "ON";
constexpr char kOff[] = "OFF";

constexpr char kGroupName[] = "Group Name";
constexpr char kDescription[] = "Description";
constexpr char kLocked[] = "Locked";
constexpr char kNumber[] = "Number";
constexpr char kTrue[] = "TRUE";
constexpr char kFalse[] = "FALSE";

constexpr char kParamName[] = "Param Name";
constexpr char kGroup[] = "Group";
constexpr char kDataType[] = "Data Type";
constexpr char kDimensions[] = "Dimensions";
constexpr char kDimRow[] = "Dim %d";
constexpr char kDataRow[] = "Data %d";
constexpr char kParamLengthError[] =
    "ERROR in %s [%s::WriteTextParams()] Incorrect Parameter Length";

constexpr char kFramesLabel[] = "Frames";
constexpr char kTimeLabel[] = "Time  ";
constexpr char kMeanLabel[] = "Mean";
constexpr char kStdDevLabel[] = "StdDev";
constexpr char kSuffixX[] = " X";
constexpr char kSuffixY[] = " Y";
constexpr char kSuffixZ[] = " Z";
constexpr char kSuffixResidual[] = " Res";
constexpr char kSuffixMask[] = " Msk";

// The first column's formats: "%4.0f" counting samples or frames, "%6.3f" in
// seconds.
constexpr int kCountWidth = 4;
constexpr int kTimeWidth = 6;
constexpr int kTimeDecimals = 3;

// Sample standard deviation in single precision. Rounding can leave a tiny
// negative quantity under the root for a constant or nearly constant column;
// that is an artefact, not a NaN, so it gives 0.
float StdDev(float sum, float sumSq, std::int64_t n) {
  if (n < 2) return 0.0f;
  const float fn = static_cast<float>(n);
  const float variance = (sumSq - sum * sum / fn) / static_cast<float>(n - 1);
  if (variance <= 0.0f) return 0.0f;
  return std::sqrt(variance);
}

// The first column of the analog and point tables: row n counts from
// `first`, or shows (first + n) / rate seconds. Each time is computed from
// the row's number in double precision: adding a single-precision step row
// after row drifted by seconds over a long recording and repeated times.
class CFirstColumn {
 public:
  // `first` is the number of the row of index `firstIndex`.
  CFirstColumn(bool counting, std::int64_t first, std::int64_t firstIndex, float rate)
      : m_counting(counting), m_shift(first - firstIndex), m_rate(rate) {}

  // The cell of the row of index `index`.
  void Append(std::string& out, std::int64_t index) const {
    const std::int64_t n = index + m_shift;
    if (m_counting) {
      AppendFixedWidth(out, static_cast<double>(n), kCountWidth, 0);
    } else {
      AppendFixedWidth(out, static_cast<double>(n) / static_cast<double>(m_rate), kTimeWidth,
                       kTimeDecimals);
    }
  }

 private:
  bool m_counting;
  std::int64_t m_shift;
  float m_rate;
};

class CTextWriter {
 public:
  CTextWriter(const CExportJob& job, const TextOptions& options, COutputFile& file,
              CProgressScope& progress);

  void WriteTextHeader();
  void WriteTextEvents();
  void WriteTextGroups();
  void WriteTextParams();
  void WriteTextAnalog();
  void WriteTextPoints();

 private:
  // One row of a transposed table: the label, then D and a cell per item.
  template <typename Cell>
  void Row(const std::string& label, std::size_t items, Cell cell);
  template <typename Sample>
  void AnalogRows(const std::vector<int>& columns, int decimals);
  template <typename Sample>
  void PointRows(const std::vector<int>& columns, int coordDecimals);
  void EndLine();

  const CExportJob& m_job;
  const CRecording& m_rec;
  const TextOptions& m_opt;
  COutputFile& m_file;
  std::string& m_out;
  CProgressScope& m_progress;
  std::string m_delimiter;
  int m_width;
  // Frame indices of the exported range, clamped to the recording; the range
  // is empty when m_first > m_last.
  std::int64_t m_first;
  std::int64_t m_last;
};

CTextWriter::CTextWriter(const CExportJob& job, const TextOptions& options, COutputFile& file,
                         CProgressScope& progress)
    : m_job(job),
      m_rec(job.recording),
      m_opt(options),
      m_file(file),
      m_out(file.Buffer()),
      m_progress(progress),
      m_delimiter(kDelimiters[options.Delimiter < 2 ? options.Delimiter : 2]),
      m_width(std::min<int>(options.ColumnWidth, kMaxColumnWidth)) {
  // The document keeps its range inside the recording; clamping here only
  // makes sure a wrong range can never read outside the sample buffers.
  const std::int64_t first = std::max<std::int64_t>(job.selection.rangeFirst, m_rec.firstFrame);
  const std::int64_t last = std::min<std::int64_t>(job.selection.rangeLast, m_rec.lastFrame);
  m_first = first - m_rec.firstFrame;
  m_last = last - m_rec.firstFrame;
}

void CTextWriter::EndLine() {
  m_out += '\n';
  m_file.MaybeFlush();
}

template <typename Cell>
void CTextWriter::Row(const std::string& label, std::size_t items, Cell cell) {
  m_out += label;
  for (std::size_t i = 0; i < items; ++i) {
    m_out += m_delimiter;
    cell(i);
  }
  EndLine();
}

void CTextWriter::WriteTextHeader() {
  m_out += Format(kOriginalFileLine, m_delimiter.c_str(), m_rec.fileName.string().c_str());
  if (m_job.format.textHeaderLines != nullptr) {
    m_out += m_job.format.textHeaderLines(m_rec, m_delimiter);
  }
  m_file.MaybeFlush();
}

void CTextWriter::WriteTextEvents() {
  const std::vector<CEvent>& events = m_rec.events;
  if (events.empty()) return;
  EndLine();
  Row(kEventName, events.size(), [&](std::size_t i) { m_out += events[i].label; });
  Row(kEventStatus, events.size(),
      [&](std::size_t i) { m_out += events[i].displayFlag != 0 ? kOn : kOff; });
  Row(kEventTime, events.size(), [&](std::size_t i) { AppendFixed(m_out, events[i].time, 4); });
}

void CTextWriter::WriteTextGroups() {
  std::vector<const CGroup*> items;
  for (std::size_t g = 0; g < m_rec.paramSet.groups.size(); ++g) {
    if (Selected(m_job.selection.groups, g)) items.push_back(&m_rec.paramSet.groups[g]);
  }
  if (items.empty()) return;
  EndLine();
  Row(kGroupName, items.size(), [&](std::size_t i) { m_out += items[i]->name; });
  Row(kDescription, items.size(), [&](std::size_t i) { m_out += items[i]->description; });
  Row(kLocked, items.size(), [&](std::size_t i) { m_out += items[i]->locked ? kTrue : kFalse; });
  Row(kNumber, items.size(), [&](std::size_t i) { AppendInt(m_out, items[i]->number); });
}

// Number of Data cells of a parameter: its element count, limited to the
// values actually held for numeric types (none for an unknown type code).
int DataCells(const CParam& p) {
  if (p.type == kParamChar) return std::max(p.elementCount, 0);
  if (!p.IsNumeric()) return 0;
  return std::clamp<int>(p.elementCount, 0, static_cast<int>(p.values.size()));
}

void CTextWriter::WriteTextParams() {
  const CParamSet& set = m_rec.paramSet;
  std::vector<const CParam*> items;
  for (std::size_t i = 0; i < set.params.size(); ++i) {
    if (Selected(m_job.selection.params, i)) items.push_back(&set.params[i]);
  }
  if (items.empty()) return;

  const std::string input = m_rec.fileName.string();
  int dMax = 0;
  int nMax = 0;
  for (const CParam* p : items) {
    dMax = std::max(dMax, static_cast<int>(p->dimensions.size()));
    nMax = std::max(nMax, DataCells(*p));
    if (p->type == kParamChar &&
        static_cast<std::size_t>(std::max(p->elementCount, 0)) != p->strings.size()) {
      m_job.platform.LogMessage(Format(kParamLengthError, input.c_str(), m_job.format.className),
                                true, true);
    }
  }

  const std::size_t n = items.size();
  EndLine();
  Row(kParamName, n, [&](std::size_t i) { m_out += items[i]->name; });
  Row(kDescription, n, [&](std::size_t i) { m_out += items[i]->description; });
  Row(kGroup, n, [&](std::size_t i) { m_out += set.GetGroupName(*items[i]); });
  Row(kLocked, n, [&](std::size_t i) { m_out += items[i]->locked ? kTrue : kFalse; });
  Row(kNumber, n, [&](std::size_t i) { AppendInt(m_out, items[i]->groupNumber); });
  Row(kDataType, n, [&](std::size_t i) { m_out += ParamTypeName(items[i]->type); });
  Row(kDimensions, n,
      [&](std::size_t i) { AppendInt(m_out, static_cast<int>(items[i]->dimensions.size())); });
  for (int j = 0; j < dMax; ++j) {
    Row(Format(kDimRow, j + 1), n, [&](std::size_t i) {
      const std::vector<std::uint8_t>& dims = items[i]->dimensions;
      if (static_cast<std::size_t>(j) < dims.size()) AppendInt(m_out, dims[j]);
    });
  }
  for (int j = 0; j < nMax; ++j) {
    Row(Format(kDataRow, j + 1), n, [&](std::size_t i) {
      const CParam& p = *items[i];
      if (j >= DataCells(p)) return;
      switch (p.type) {
        case kParamChar:
          m_out += p.GetString(j);
          break;
        case kParamByte:
          AppendInt(m_out, static_cast<std::int8_t>(p.GetByte(j)));
          break;
        case kParamInt:
          AppendInt(m_out, p.GetInt(j));
          break;
        case kParamFloat:
          AppendFixed(m_out, p.GetFloat(j), 4);
          break;
        default:
          break;
      }
    });
  }
}

void CTextWriter::WriteTextAnalog() {
  std::vector<int> columns;  // channel numbers, full width
  for (int k = 0; k < m_rec.AnalogCount(); ++k) {
    if (Selected(m_job.selection.analog, static_cast<std::size_t>(k))) columns.push_back(k);
  }
  if (columns.empty()) return;

  EndLine();
  if (m_opt.AnalogColNames) {
    const std::vector<std::string> names = ItemLabels(
        m_rec.paramSet, "Analog", "Labels", m_job.format.channelLabelFormat, m_rec.AnalogCount());
    m_out += m_opt.SamplesByFrame ? kFramesLabel : kTimeLabel;
    for (int k : columns) {
      if (m_opt.DelimitColNames) m_out += m_delimiter;
      AppendPadded(m_out, names[static_cast<std::size_t>(k)], m_width);
    }
    EndLine();
  }
  const int decimals = m_opt.AnalogScaled ? m_opt.Precision : 0;
  m_rec.WithAnalogSampleType([&](auto type) {
    using Sample = std::remove_cv_t<std::remove_pointer_t<decltype(type)>>;
    AnalogRows<Sample>(columns, decimals);
  });
}

template <typename Sample>
void CTextWriter::AnalogRows(const std::vector<int>& columns, int decimals) {
  struct Column {
    const Sample* data;
    std::int64_t size;  // samples present; anything beyond reads as 0
    float scale;
    float offset;
    float sum;
    float sumSq;
  };
  // C3D keeps every analog sample of a frame; the other formats have one row
  // per frame.
  const bool allSamples = m_job.format.allAnalogSamples;
  const std::int64_t perFrame = allSamples ? std::max(m_rec.analogRatio, 0) : 1;
  const bool scaled = m_opt.AnalogScaled && m_job.format.analogScalable;
  const float genScale = scaled ? m_rec.GetGenScale() : 1.0f;

  std::vector<Column> cols;
  cols.reserve(columns.size());
  for (int k : columns) {
    const CSampleBuffer& b = m_rec.analog[static_cast<std::size_t>(k)].samples;
    const Sample* data = SamplesAs<Sample>(b);
    cols.push_back({data, data != nullptr ? static_cast<std::int64_t>(b.Size()) : 0,
                    scaled ? m_rec.GetScale(k) * genScale : 1.0f,
                    scaled ? m_rec.GetOffset(k, m_job.format.defaultOffset) : 0.0f, 0.0f, 0.0f});
  }

  const std::int64_t s0 = m_first * perFrame;
  const std::int64_t s1 = (m_last + 1) * perFrame - 1;
  const std::int64_t n = s1 >= s0 ? s1 - s0 + 1 : 0;

  const float frameRate = m_job.format.frameRate != nullptr ? m_job.format.frameRate(m_rec) : 0.0f;
  const float rate = allSamples ? static_cast<float>(perFrame) * frameRate : frameRate;
  // Analog rows count from s0 + 1, in samples and in time alike: the first
  // sample of the recording is shown at 1 / rate, not at 0, unless
  // StartAtZero asks for times from 0 (and counts from 1).
  const bool counting = m_opt.SamplesByFrame != 0;
  const CFirstColumn first(counting, m_opt.StartAtZero ? (counting ? 1 : 0) : s0 + 1, s0, rate);

  const int width = m_width;
  const auto value = [](const Column& c, std::int64_t s) {
    const float raw = s < c.size ? static_cast<float>(c.data[s]) : 0.0f;
    return (raw - c.offset) * c.scale;
  };
  const std::string& delimiter = m_delimiter;
  const auto format = [&](std::int64_t b, std::int64_t e, std::string& out) {
    for (std::int64_t s = b; s < e; ++s) {
      first.Append(out, s);
      for (const Column& c : cols) {
        out += delimiter;
        AppendFixedWidth(out, value(c, s), width, decimals);
      }
      out += '\n';
    }
  };
  // The sums add up row after row, on this thread, whatever formatted the rows.
  const bool summary = m_opt.Mean_StdDev != 0;
  const auto written = [&](std::int64_t b, std::int64_t e) {
    if (summary) {
      for (Column& c : cols) {
        for (std::int64_t s = b; s < e; ++s) {
          const float v = value(c, s);
          c.sum += v;
          c.sumSq += v * v;
        }
      }
    }
    m_progress.Steps(e - b);
  };
  WriteInBlocks(m_file,
                BlockRun(m_job, s0, s1 + 1, cols.size() * (static_cast<std::size_t>(width) + 1) + 8),
                format, written);

  // Without a single row there is nothing to average; a mean of 0/0 would
  // only print as "-nan".
  if (!m_opt.Mean_StdDev || n < 1) return;
  m_out += kMeanLabel;
  for (const Column& c : cols) {
    m_out += m_delimiter;
    AppendFixedWidth(m_out, c.sum / static_cast<float>(n), width, decimals);
  }
  EndLine();
  m_out += kStdDevLabel;
  for (const Column& c : cols) {
    m_out += m_delimiter;
    AppendFixedWidth(m_out, StdDev(c.sum, c.sumSq, n), width, decimals);
  }
  EndLine();
}

void CTextWriter::WriteTextPoints() {
  std::vector<int> columns;  // point numbers, full width
  for (int j = 0; j < m_rec.PointCount(); ++j) {
    if (Selected(m_job.selection.points, static_cast<std::size_t>(j))) columns.push_back(j);
  }
  if (columns.empty()) return;

  EndLine();
  if (m_opt.VideoColNames) {
    const std::vector<std::string> names =
        ItemLabels(m_rec.paramSet, "Point", "Labels", kMarkerLabelFormat, m_rec.PointCount());
    const std::string separator = m_opt.DelimitColNames ? m_delimiter : std::string();
    m_out += m_opt.SamplesByFrame ? kFramesLabel : kTimeLabel;
    auto name = [&](const std::string& base, const char* suffix) {
      m_out += separator;
      AppendPadded(m_out, base + suffix, m_width);
    };
    for (int j : columns) {
      const std::string& base = names[static_cast<std::size_t>(j)];
      name(base, kSuffixX);
      name(base, kSuffixY);
      name(base, kSuffixZ);
      if (m_opt.ShowResid) name(base, kSuffixResidual);
      if (m_opt.ShowMask) name(base, kSuffixMask);
      if (m_opt.DoubleLimitTrajectory) m_out += separator;
    }
    EndLine();
  }
  const int coordDecimals = m_rec.integerData && !m_opt.VideoScaled ? 0 : m_opt.Precision;
  if (m_rec.integerData) {
    PointRows<std::int16_t>(columns, coordDecimals);
  } else {
    PointRows<float>(columns, coordDecimals);
  }
}

template <typename Sample>
void CTextWriter::PointRows(const std::vector<int>& columns, int coordDecimals) {
  struct Column {
    const Sample* data;
    std::int64_t frames;  // records present; anything beyond reads as an invalid point
    float sum[4];
    float sumSq[4];
  };
  std::vector<Column> cols;
  cols.reserve(columns.size());
  for (int j : columns) {
    const CSampleBuffer& b = m_rec.points[static_cast<std::size_t>(j)].samples;
    const Sample* data = SamplesAs<Sample>(b);
    cols.push_back({data, data != nullptr ? static_cast<std::int64_t>(b.Size() / 4) : 0, {}, {}});
  }

  const std::int64_t i0 = m_first;
  const std::int64_t i1 = m_last;
  const std::int64_t n = i1 >= i0 ? i1 - i0 + 1 : 0;
  const float rate = m_job.format.frameRate != nullptr ? m_job.format.frameRate(m_rec) : 0.0f;
  // Point rows count frames from i0 + 1 but time them from i0 / rate.
  const bool counting = m_opt.SamplesByFrame != 0;
  const CFirstColumn first(
      counting, m_opt.StartAtZero ? (counting ? 1 : 0) : (counting ? i0 + 1 : i0), i0, rate);

  const float scale = m_rec.markerScale;
  const int width = m_width;
  const int residDecimals = m_opt.Precision;
  const bool showResid = m_opt.ShowResid != 0;
  const bool showMask = m_opt.ShowMask != 0;
  const bool doubleLimit = m_opt.DoubleLimitTrajectory != 0;
  // The coordinates and residual of a cell, and its word for the cameras.
  const auto values = [scale](const Column& c, std::int64_t i, float v[4]) {
    std::int16_t word = -1;
    v[0] = v[1] = v[2] = 0.0f;
    if (i < c.frames) {
      const Sample* r = c.data + i * 4;
      if constexpr (std::is_same_v<Sample, std::int16_t>) {
        // Integer coordinates are always scaled here, whatever VideoScaled
        // says; that option only chooses the decimals.
        for (int a = 0; a < 3; ++a) v[a] = static_cast<float>(r[a]) * scale;
        word = r[3];
      } else {
        for (int a = 0; a < 3; ++a) v[a] = r[a];
        word = TruncateToWord(r[3]);
      }
    }
    v[3] = ResidualFromWord(word, scale);
    return word;
  };
  const std::string& delimiter = m_delimiter;
  const auto format = [&](std::int64_t b, std::int64_t e, std::string& out) {
    for (std::int64_t i = b; i < e; ++i) {
      first.Append(out, i);
      for (const Column& c : cols) {
        float v[4];
        const std::int16_t word = values(c, i, v);
        for (int a = 0; a < 3; ++a) {
          out += delimiter;
          AppendFixedWidth(out, v[a], width, coordDecimals);
        }
        if (showResid) {
          out += delimiter;
          AppendFixedWidth(out, v[3], width, residDecimals);
        }
        if (showMask) {
          char cameras[8];
          CamerasFromWord(word, cameras);
          out += delimiter;
          out.append(cameras, 7);
        }
        if (doubleLimit) out += delimiter;
      }
      out += '\n';
    }
  };
  // The sums add up row after row, on this thread, whatever formatted the rows.
  const bool summary = m_opt.Mean_StdDev != 0;
  const auto written = [&](std::int64_t b, std::int64_t e) {
    if (summary) {
      for (Column& c : cols) {
        for (std::int64_t i = b; i < e; ++i) {
          float v[4];
          values(c, i, v);
          for (int a = 0; a < 4; ++a) {
            c.sum[a] += v[a];
            c.sumSq[a] += v[a] * v[a];
          }
        }
      }
    }
    m_progress.Steps(e - b);
  };
  const std::size_t cells = 3 + (showResid ? 1 : 0);
  WriteInBlocks(m_file,
                BlockRun(m_job, i0, i1 + 1,
                         cols.size() * (cells * (static_cast<std::size_t>(width) + 1) + 8) + 8),
                format, written);

  if (!m_opt.Mean_StdDev || n < 1) return;
  // Both rows use the coordinate format, the residual's cell included.
  auto summaryRow = [&](const char* label, auto value) {
    m_out += label;
    for (const Column& c : cols) {
      const int last = showResid ? 4 : 3;
      for (int a = 0; a < last; ++a) {
        m_out += m_delimiter;
        AppendFixedWidth(m_out, value(c, a), width, coordDecimals);
      }
      if (showMask) m_out += m_delimiter;
      if (doubleLimit) m_out += m_delimiter;
    }
    EndLine();
  };
  summaryRow(kMeanLabel, [&](const Column& c, int a) { return c.sum[a] / static_cast<float>(n); });
  summaryRow(kStdDevLabel, [&](const Column& c, int a) { return StdDev(c.sum[a], c.sumSq[a], n); });
}

int ProgressRange(const CExportJob& job) {
  const std::int64_t frames =
      static_cast<std::int64_t>(job.selection.rangeLast) - job.selection.rangeFirst;
  std::int64_t range = frames + 4;
  if (job.format.allAnalogSamples) {
    range += static_cast<std::int64_t>(std::max(job.recording.analogRatio, 0)) * (frames + 1);
  }
  return static_cast<int>(std::clamp<std::int64_t>(range, 0, INT_MAX));
}

}  // namespace

std::uint64_t ExportText(const CExportJob& job, const TextOptions& options) {
  const auto write = [&](COutputFile& file, CProgressScope& progress) {
    CTextWriter writer(job, options, file, progress);
    if (job.selection.header) {
      writer.WriteTextHeader();
      if (job.format.hasEvents) writer.WriteTextEvents();
    }
    progress.Step();
    writer.WriteTextGroups();
    progress.Step();
    writer.WriteTextParams();
    progress.Step();
    writer.WriteTextAnalog();
    if (job.format.hasPoints) writer.WriteTextPoints();
  };
  return RunExport(job, ProgressRange(job), write, job.format.exportedLogFormat);
}
