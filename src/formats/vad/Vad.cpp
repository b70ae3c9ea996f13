#include "formats/vad/Vad.h"

#include <algorithm>
#include <climits>
#include <system_error>

#include "formats/AnalogParameters.h"
#include "formats/ReaderSupport.h"
#include "formats/c3d/C3dWriter.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

namespace {
constexpr std::size_t kHeaderSize = 22;
constexpr std::size_t kChannelSize = 48;
constexpr std::size_t kLabelWidth = 12;
constexpr std::size_t kDescriptionWidth = 32;
constexpr std::size_t kVersionWidth = 6;
constexpr std::size_t kValueBuffer = 512;
constexpr int kMaxPlates = 255;

constexpr char kErrHeader[] = "Incorrect amount of data data read";
constexpr char kErrSignature[] = "Incorrect File version information";
constexpr char kErrChannels[] = "Incorrect number of channels";
constexpr char kErrChannelDesc[] = "Incorrect amount of channel desc data read";
constexpr const char* kErrMemory = kNotEnoughMemoryToReadData;
constexpr char kErrData[] = "Error reading data from file";
constexpr char kErrPlates[] = "Too many force plates in the calibration file";

constexpr int kAnalogGroup = 1;
constexpr int kForceGroup = 2;
constexpr int kPointGroup = 3;

// Calibration keys. A channel's list is read once per field with a default
// that ends just after that field, so a channel without a key gets units
// "None" although a key with too few fields gives "V".
constexpr char kAnalogue[] = "Analogue";
constexpr char kChannelKey[] = "Channel%d";
constexpr char kScaleDefault[] = "0, 1, 1, 1.0";
constexpr char kOffsetDefault[] = "0, 1, 1, 1.0,2048";
constexpr char kUnitsDefault[] = "0, 1, 1, 1.0,2048,None";
constexpr char kLabelDefault[] = "0, 1, 1, 1.0,2048,V,CH%03d";
constexpr char kDescriptionDefault[] = "0, 1, 1, 1.0,2048,V,Ch,Channel %03d";
constexpr char kLabelFormat[] = "CH%03d";
constexpr char kDescriptionFormat[] = "Channel %03d";
constexpr char kPlateSection[] = "ForcePlate%d";

// The text of a character field: up to its first NUL, without trailing white
// space.
std::string FieldText(const std::uint8_t* b, std::size_t width) {
  std::string s;
  for (std::size_t i = 0; i < width && b[i] != 0; ++i) s += static_cast<char>(b[i]);
  while (!s.empty() && IsCSpace(s.back())) s.pop_back();
  return s;
}

// Pieces between commas, untrimmed; empty pieces count.
std::vector<std::string> Pieces(const std::string& list) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    out.push_back(list.substr(start, comma - start));
    if (comma == std::string::npos) return out;
    start = comma + 1;
  }
}

std::string Value(const CIniFile& ini, const std::string& section, const std::string& key,
                  const std::string& def) {
  return ini.GetString(section, key, def, kValueBuffer);
}

long long IntegerValue(const CIniFile& ini, const std::string& section, const char* key,
                       long long def) {
  return LeadingInteger(Value(ini, section, key, std::to_string(def)));
}

std::int16_t ToInt16(long long v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
}
}  // namespace

bool CVad::Open() {
  return ReadRecordingFile(
      *this, [this](CInputFile& file) { return ReadAll(file); }, kErrMemory);
}

void CVad::Close() {
  ClearData();
  version.clear();
  videoFrameRate = 0;
  videoSync = 0;
  analogRate = 0.0f;
  totalSamples = 0;
  channelCount = 0;
  channels.clear();
  calibrationPath.clear();
  firstFrame = 1;
  lastFrame = 0;
}

std::filesystem::path CVad::CalibrationName(const std::filesystem::path& recording) {
  std::string stem = recording.stem().string();
  stem.resize(stem.size() > 2 ? stem.size() - 2 : 0);
  return recording.parent_path() / (stem + ".car");
}

std::filesystem::path CVad::FindCalibration(const std::filesystem::path& recording) {
  const std::filesystem::path exact = CalibrationName(recording);
  std::error_code ec;
  if (std::filesystem::exists(exact, ec)) return exact;
  // Recordings copied from systems that ignore case often carry WALK.CAR
  // beside walk01.vad.
  const std::filesystem::path folder = exact.parent_path().empty() ? "." : exact.parent_path();
  const std::string name = exact.filename().string();
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (EqualsNoCase(it->path().filename().string(), name))
      return exact.parent_path() / it->path().filename();
  }
  return exact;
}

bool CVad::ReadAll(CInputFile& file) {
  std::uint8_t h[kHeaderSize];
  if (file.ReadAt(0, h, kHeaderSize) != kHeaderSize) {
    ReportReadError(*this, kErrHeader);
    return false;
  }
  if (!EqualsNoCase(std::string_view(reinterpret_cast<const char*>(h), 4), "!VAD")) {
    ReportReadError(*this, kErrSignature);
    return false;
  }
  version = FieldText(h, kVersionWidth);
  videoFrameRate = LoadLeI16(h + 6);
  videoSync = LoadLeI32(h + 8);
  analogRate = static_cast<float>(LoadLeI32(h + 12));
  totalSamples = LoadLe32(h + 16);
  channelCount = LoadLeI16(h + 20);
  // Without channels the samples cannot be divided into frames.
  if (channelCount <= 0) {
    ReportReadError(*this, kErrChannels);
    return false;
  }
  const auto n = static_cast<std::size_t>(channelCount);
  const std::int64_t frames = totalSamples / static_cast<std::uint32_t>(channelCount);

  CForwardReader in(file);
  channels.reserve(n);
  for (std::size_t c = 0; c < n; ++c) {
    const std::uint8_t* d =
        in.At(static_cast<std::int64_t>(kHeaderSize + kChannelSize * c), kChannelSize);
    if (d == nullptr) {
      ReportReadError(*this, kErrChannelDesc);
      return false;
    }
    channels.push_back({LoadLeI16(d), LoadLeI16(d + 2), FieldText(d + 4, kLabelWidth),
                        FieldText(d + 4 + kLabelWidth, kDescriptionWidth)});
  }

  // The header's count is held against the file before memory is taken for
  // it.
  const std::int64_t dataStart = static_cast<std::int64_t>(kHeaderSize + kChannelSize * n);
  const std::int64_t frameBytes = 2 * static_cast<std::int64_t>(n);
  if (frames > INT_MAX || file.Size() - dataStart < frames * frameBytes) {
    ReportReadError(*this, kErrData);
    return false;
  }
  if (wordsMayStayInFile && file.CanBeReadAgain()) {
    // The file's frames are already the words a C3D file stores.
    analog.resize(n);
    wordsInFile = dataStart;
    wordsFileStamp = file.Stamp();
  } else {
    if (!AllocateSamples(*this, 0, 0, n, static_cast<std::size_t>(frames), kErrMemory)) {
      return false;
    }
    // Frame indices are full width: a recording of more than 65535 frames is
    // read whole.
    ReadFrameWords(*this, file, dataStart, frames);
  }
  firstFrame = 1;
  lastFrame = static_cast<int>(frames);
  analogRatio = 1;
  integerData = true;

  calibrationPath = FindCalibration(fileName);
  CIniFile calibration;
  calibration.Load(calibrationPath);  // a missing file gives every default
  if (!BuildParameters(calibration, frames)) return false;
  ComputeAnalogRanges(*this);
  return true;
}

bool CVad::BuildParameters(const CIniFile& calibration, std::int64_t frames) {
  const long long plates = std::max(0LL, IntegerValue(calibration, "ForcePlates", "Count", 0));
  if (plates > kMaxPlates) {
    ReportReadError(*this, kErrPlates);
    return false;
  }
  BuildAnalog(calibration);
  BuildForcePlates(calibration, static_cast<int>(plates));

  paramSet.AddGroup("POINT", "Point Parameters", -kPointGroup);
  const std::string frequency =
      Value(calibration, "Video", "Frequency", Format("%d", videoFrameRate));
  paramSet.AddScalarParam(kPointGroup, "Rate", "Video sampling rate", kParamFloat,
                          LeadingDecimal(frequency));
  // Analog samples per video frame; none when the analog rate is below the
  // video rate, and then no video frames either.
  const std::int64_t r = AnalogSamplesPerVideoFrame(analogRate, videoFrameRate);
  const std::int64_t videoFrames = r > 0 ? frames / r : 0;
  CParam& count =
      paramSet.AddScalarParam(kPointGroup, "Frames", "Number of Video Frames", kParamInt, 0.0f);
  count.SetInt(0, ToInt16(videoFrames));
  return true;
}

void CVad::BuildAnalog(const CIniFile& calibration) {
  const int n = channelCount;
  paramSet.AddGroup("ANALOG", "Analog Parameters", -kAnalogGroup);
  paramSet.AddScalarParam(
      kAnalogGroup, "Gen_Scale", "General Scale Factor", kParamFloat,
      LeadingDecimal(Value(calibration, kAnalogue, "GeneralScale", "0.004885")));
  paramSet.AddScalarParam(kAnalogGroup, "Rate", "Analog Base Sampling Rate", kParamFloat,
                          analogRate);
  paramSet.AddScalarParam(kAnalogGroup, "Used", "Number of analog channels used", kParamInt,
                          static_cast<float>(n));

  // Field `field` of channel c's list read with `def`; `missing` when the
  // list is shorter.
  const auto field = [&](int c, const std::string& def, std::size_t index,
                         const std::string& missing) {
    const std::vector<std::string> p =
        Pieces(Value(calibration, kAnalogue, Format(kChannelKey, c + 1), def));
    return index < p.size() ? p[index] : missing;
  };
  CParam& scale =
      paramSet.AddArrayParam(kAnalogGroup, "Scale", "Analog scale factors", kParamFloat, n);
  for (int c = 0; c < n; ++c) scale.SetFloat(c, LeadingDecimal(field(c, kScaleDefault, 3, "1.0")));
  CParam& offset = paramSet.AddArrayParam(kAnalogGroup, "Offset", "Analog Offsets", kParamInt, n);
  for (int c = 0; c < n; ++c) {
    offset.SetInt(c, ToInt16(LeadingInteger(field(c, kOffsetDefault, 4, "2048"))));
  }
  const auto strings = [&](const char* name, const char* description, std::size_t index,
                           const char* def, const char* missing) {
    CParam& p = paramSet.AddStringParam(kAnalogGroup, name, description, n);
    for (int c = 0; c < n; ++c) {
      p.strings[static_cast<std::size_t>(c)] =
          field(c, Format(def, c + 1), index, Format(missing, c + 1));
    }
    CParamSet::FinishStringParam(p);
  };
  strings("Units", "Analog units", 5, kUnitsDefault, "V");
  strings("Labels", "Analog labels", 6, kLabelDefault, kLabelFormat);
  strings("Descriptions", "Analog descriptions", 7, kDescriptionDefault, kDescriptionFormat);
}

void CVad::BuildForcePlates(const CIniFile& calibration, int plates) {
  paramSet.AddGroup("FORCE_PLATFORM", "Force Platform Parameters", -kForceGroup);
  paramSet.AddScalarParam(kForceGroup, "Used", "Number of force plates used", kParamByte,
                          static_cast<float>(plates));
  const std::vector<std::string> zero = Pieces(Value(calibration, "ForcePlates", "Zero", "1,10"));
  CParam& z = paramSet.AddArrayParam(kForceGroup, "Zero", "Frame interval to have zero offset",
                                     kParamInt, 2);
  for (int i = 0; i < 2; ++i) {
    z.SetInt(i, i < static_cast<int>(zero.size()) ? ToInt16(LeadingInteger(zero[i])) : 0);
  }
  CParam& type =
      paramSet.AddArrayParam(kForceGroup, "Type", "Force platform type", kParamInt, plates);
  for (int p = 0; p < plates; ++p) {
    type.SetInt(p, ToInt16(IntegerValue(calibration, Format(kPlateSection, p + 1), "Type", 2)));
  }
  // Per plate the first `count` pieces of `key`, 0 for a missing piece.
  const auto table = [&](const char* name, const char* description, std::int16_t paramType,
                         const char* key, std::vector<std::uint8_t> dims) {
    int count = 1;
    for (std::uint8_t d : dims) count *= d;
    CParam& t = paramSet.AddArrayParam(kForceGroup, name, description, paramType, count * plates);
    dims.push_back(static_cast<std::uint8_t>(plates));
    t.dimensions = dims;
    for (int p = 0; p < plates; ++p) {
      const std::vector<std::string> pieces =
          Pieces(Value(calibration, Format(kPlateSection, p + 1), key, " "));
      for (int i = 0; i < count; ++i) {
        const std::string piece = i < static_cast<int>(pieces.size()) ? pieces[i] : "";
        const int at = p * count + i;
        if (paramType == kParamFloat) {
          t.SetFloat(at, LeadingDecimal(piece));
        } else {
          t.SetInt(at, ToInt16(LeadingInteger(piece)));
        }
      }
    }
  };
  table("Corners", "Force platform corners", kParamFloat, "Corners", {4, 3});
  table("Origin", "Force platform origin", kParamFloat, "Origin", {3});
  table("Channel", "Analog channels used", kParamInt, "Channels", {6});
}
