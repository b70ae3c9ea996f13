#include "export/ExpExport.h"

#include <atomic>

#include <algorithm>
#include <climits>
#include <cmath>
#include <type_traits>
#include <vector>

#include "export/ExportRun.h"
#include "export/NumberFormat.h"
#include "platform/Clock.h"
#include "platform/OutputFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"

const char kExpSignature[] = "#!DST-1.0 EXP-1.0 ";

namespace {

constexpr int kMaxChannels = 4;
constexpr float kMicrovolts = 1000000.0f;
constexpr char kExceededStart[] = "Channel(s) ";
constexpr char kExceededChannel[] = "%d ";
constexpr char kExceededEnd[] = " had values greater than 1000 uV";

// A value read from the settings store stays on its line.
std::string OneLine(const TestSetValues& values, const char* key) {
  const auto it = values.find(key);
  std::string s = it != values.end() ? it->second : std::string();
  std::replace(s.begin(), s.end(), '\r', ' ');
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

struct CExpChannel {
  int index;
  float scale;
  float offset;
  bool exceeded = false;
};

template <typename Sample>
void WriteExpSamples(const CExportJob& job, std::vector<CExpChannel>& channels, std::int64_t s0,
                     std::int64_t s1, COutputFile& file, CProgressScope& progress) {
  std::vector<const Sample*> data;
  std::vector<std::int64_t> sizes;
  for (const CExpChannel& c : channels) {
    const CSampleBuffer& b = job.recording.analog[static_cast<std::size_t>(c.index)].samples;
    data.push_back(SamplesAs<Sample>(b));
    sizes.push_back(data.back() != nullptr ? static_cast<std::int64_t>(b.Size()) : 0);
  }
  // Blocks on other threads mark the channels that left the test range.
  std::vector<std::atomic<bool>> exceeded(channels.size());
  const auto format = [&](std::int64_t b, std::int64_t e, std::string& text) {
    for (std::int64_t s = b; s < e; ++s) {
      for (std::size_t k = 0; k < channels.size(); ++k) {
        const CExpChannel& c = channels[k];
        const float raw = s < sizes[k] ? static_cast<float>(data[k][s]) : 0.0f;
        const float v = (raw - c.offset) * c.scale * kMicrovolts;
        if (ExceedsTestRange(v)) exceeded[k].store(true, std::memory_order_relaxed);
        if (k > 0) text += '\t';
        AppendFixed(text, v, 0);
      }
      text += '\n';
    }
  };
  WriteInBlocks(file, BlockRun(job, s0, s1, channels.size() * 8 + 1), format,
                [&](std::int64_t b, std::int64_t e) { progress.Steps(e - b); });
  for (std::size_t k = 0; k < channels.size(); ++k) {
    if (exceeded[k].load(std::memory_order_relaxed)) channels[k].exceeded = true;
  }
}

}  // namespace

bool ExceedsTestRange(float microvolts) {
  // What the report shows is the value rounded as "%.0f" rounds it (ties to
  // even), so a written "1000" never warns and "-5000" does.
  return std::isnan(microvolts) || std::fabs(std::nearbyint(microvolts)) > 1000.0f;
}

std::uint64_t ExportDstExp(const CExportJob& job, const TestSetValues& testSet, float extraScale) {
  const CRecording& rec = job.recording;
  const CFormatDescription& format = job.format;
  const CExportSelection& sel = job.selection;
  const CCalendarDate date = ReportDate();
  const std::int64_t r = format.allAnalogSamples ? std::max(rec.analogRatio, 0) : 1;
  const float frameRate = format.frameRate != nullptr ? format.frameRate(rec) : 0.0f;
  const float sampleRate = format.allAnalogSamples ? static_cast<float>(r) * frameRate : frameRate;

  long long i0 = 0;
  long long i1 = -1;
  ClippedFrameIndices(rec, sel, i0, i1);
  const std::int64_t s0 = i0 * r;
  // No more rows than the channels hold: a damaged header's ratio with no
  // channel to go with it would otherwise give millions of empty ones.
  const std::int64_t held = static_cast<std::int64_t>(rec.AnalogSamplesHeld());
  const std::int64_t s1 = std::max<std::int64_t>(s0, std::min<std::int64_t>((i1 + 1) * r, held));
  const std::int64_t frames = static_cast<std::int64_t>(sel.rangeLast) - sel.rangeFirst + 1;
  const int progressRange = static_cast<int>(std::clamp<std::int64_t>(r * frames + 1, 0, INT_MAX));

  const auto write = [&](COutputFile& file, CProgressScope& progress) {
    std::vector<CExpChannel> channels;
    const float general = rec.GetGenScale();
    std::string list;
    for (int k = 0; k < rec.AnalogCount() && static_cast<int>(channels.size()) < kMaxChannels;
         ++k) {
      if (!Selected(sel.analog, static_cast<std::size_t>(k))) continue;
      channels.push_back(
          {k, rec.GetScale(k) * general * extraScale, rec.GetOffset(k, format.defaultOffset)});
      list = Format("%s %d", list.c_str(), k + 1);
    }
    std::string& out = file.Buffer();
    out += kExpSignature;
    out += ShortReportDate(date);
    out += OneLine(testSet, kVeltroLocation) + "\n";
    out += "$EXPeriment\nEMG source: Veltro EMG Test Set\n";
    out += "serial number: " + OneLine(testSet, kVeltroSerial) + "\n";
    out += "Equipment under test: " + OneLine(testSet, kVeltroEquip) + "\n";
    out += "Date of test: " + LongReportDate(date) + "\n";
    out += "Channels tested: " + list + "\n";
    out += "!AdcSampleRate\n";
    AppendFixed(out, sampleRate, 0);
    out += "\n$EmgPreProcessing\nraw\n$EmgUnits\nmicrovolts\n";
    out += "!AdcRESolution\n" + OneLine(testSet, kVeltroRes) + "\n";
    progress.Step();
    out += Format("!EMG-%d\n", static_cast<int>(channels.size()));
    rec.WithAnalogSampleType([&](auto type) {
      using Sample = std::remove_cv_t<std::remove_pointer_t<decltype(type)>>;
      WriteExpSamples<Sample>(job, channels, s0, s1, file, progress);
    });
    std::string exceeded;
    for (const CExpChannel& c : channels) {
      if (c.exceeded) exceeded += Format(kExceededChannel, c.index + 1);
    }
    if (!exceeded.empty()) {
      job.platform.LogMessage(kExceededStart + exceeded + kExceededEnd, true, false);
    }
  };
  return RunExport(job, progressRange, write, format.expLogFormat);
}
