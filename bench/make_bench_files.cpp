// Writes the large C3D files the benchmarks read:
//   bench_float.c3d  floating-point samples, about 90 MB
//   bench_int.c3d    16-bit samples, about 45 MB
//   bench_adc.adc    a 90 MB ADC recording of 16 channels
//   bench_vad01.vad  a 90 MB VAD recording of 16 channels at 2400 Hz, 50 Hz
//                    video (58593 C3D frames of 48 samples when written as C3D)
// Both hold 50 labelled points and 16 labelled analog channels at 10 samples
// per frame over 60000 frames at 100 Hz, with smooth trajectories, signals
// and gaps where a marker is lost; the first 12 channels are the forces and
// moments of two type-2 force plates side by side.
//   bench_long.c3d   16-bit samples over 100000 frames, about 72 MB: more than
//                    a C3D header's 16 bits can count, the range in TRIAL
//   make_bench_files OUTDIR

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "c3dbuilder/C3dBuilder.h"
#include "vadbuilder/VadBuilder.h"

namespace {

using namespace c3dbuilder;

constexpr int kPoints = 50;
constexpr int kChannels = 16;
constexpr int kRatio = 10;
constexpr int kFrames = 60000;
constexpr int kLongFrames = 100000;
constexpr float kRate = 100.0f;
constexpr float kMarkerScale = 0.1f;  // mm per stored unit in the integer file
constexpr double kTwoPi = 6.283185307179586;

std::vector<std::string> PointLabels() {
  static const char* const kSites[] = {
      "ASI", "PSI", "THI", "KNE", "TIB", "ANK", "HEE", "TOE", "SHO", "ELB", "WRA", "WRB", "FIN",
      "FHD", "BHD", "UPA", "FRM", "MT5", "MT1", "CAL", "GTR", "LEP", "MEP", "ACR", "SCA"};
  std::vector<std::string> labels;
  for (const char* side : {"L", "R"}) {
    for (const char* site : kSites) labels.push_back(std::string(side) + site);
  }
  labels.resize(kPoints);
  return labels;
}

std::vector<std::string> ChannelLabels() {
  std::vector<std::string> labels = {"FX1", "FY1", "FZ1", "MX1", "MY1", "MZ1",
                                     "FX2", "FY2", "FZ2", "MX2", "MY2", "MZ2"};
  for (int k = 1; labels.size() < kChannels; ++k) labels.push_back("EMG " + std::to_string(k));
  return labels;
}

// Frames where point j is lost: a few short gaps spread over the trial, one
// point missing at the start and one at the end.
bool Lost(int i, int j) {
  if (j == kPoints - 1 && i < 500) return true;
  if (j == kPoints - 2 && i >= kFrames - 300) return true;
  if (j % 4 == 1) {
    const int phase = (i + 997 * j) % 6000;
    return phase < 40 + j;
  }
  return false;
}

// Position of point j in millimetres: a walk forward along y with a gait
// oscillation, different per point and coordinate.
double Position(int i, int j, int c) {
  const double t = i / static_cast<double>(kRate);
  const double gait = std::sin(kTwoPi * 0.9 * t + 0.37 * j + 1.1 * c);
  switch (c) {
    case 0:
      return -400.0 + 16.0 * j + 25.0 * gait;
    case 1:
      return 1500.0 * std::sin(kTwoPi * t / 20.0) + 3.0 * j + 60.0 * gait;
    default:
      return 80.0 + 30.0 * j + 15.0 * gait;
  }
}

// Residual/camera word: cameras in the high byte, residual in the low one.
int ResidualWord(int i, int j) {
  return ((0x15 + j % 7) << 8) | (1 + (i + j) % 20);
}

// Analog sample s of frame i on channel k, in volts: forces are slow
// waves, EMG a noisy burst pattern.
double Volts(int i, int s, int k) {
  const double t = (static_cast<double>(i) * kRatio + s) / (kRate * kRatio);
  if (k < 12) return 2.0 * std::sin(kTwoPi * (0.9 + 0.1 * k) * t + k) + 0.01 * std::sin(7919.0 * t);
  const double burst = 0.5 + 0.5 * std::sin(kTwoPi * 0.9 * t + k);
  return 0.8 * burst * std::sin(kTwoPi * 87.0 * t * (k - 10) + std::sin(1237.0 * t));
}

// The TRIAL field of frame number f: two INT words, low word first.
std::vector<float> TrialField(int f) {
  const auto low = static_cast<std::int16_t>(static_cast<std::uint16_t>(f & 0xFFFF));
  return {static_cast<float>(low), static_cast<float>(f >> 16)};
}

Spec BenchSpec(bool floatData, int frames = kFrames) {
  Spec spec;
  spec.processor = Processor::Intel;
  spec.floatData = floatData;
  spec.markerScale = kMarkerScale;
  spec.frameRate = kRate;
  spec.firstFrame = 1;
  spec.frames = frames;
  spec.points = kPoints;
  spec.analogChannels = kChannels;
  spec.analogRatio = kRatio;
  spec.maxGap = 10;
  spec.events = {{"RHS", 1.25f, 1}, {"LTO", 1.61f, 1}, {"LHS", 1.83f, 1}, {"RTO", 2.17f, 0}};
  AddStandardParameters(spec, PointLabels(), ChannelLabels());
  // Two 464 x 508 mm plates, X along the laboratory's, Y against it.
  spec.groups.push_back({"FORCE_PLATFORM", "Force platforms", false});
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "USED", 2, {2}));
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "TYPE", 2, {2, 2}));
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "ZERO", 2, {1, 10}));
  Param channels =
      NumberParam("FORCE_PLATFORM", "CHANNEL", 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  channels.dims = {6, 2};
  spec.params.push_back(channels);
  spec.params.push_back(NumberParam("FORCE_PLATFORM", "ORIGIN", 4, {0, 0, -40, 0, 0, -40}));
  Param corners = NumberParam(
      "FORCE_PLATFORM", "CORNERS", 4,
      {464, 0, 0, 0, 0, 0, 0, 508, 0, 464, 508, 0, 964, 0, 0, 500, 0, 0, 500, 508, 0, 964, 508, 0});
  corners.dims = {3, 4, 2};
  spec.params.push_back(corners);
  // Capture software writes the trial's frame range in every file; past
  // 32767 frames its low words must be read unsigned.
  spec.groups.push_back({"TRIAL", "Trial range", false});
  spec.params.push_back(NumberParam("TRIAL", "ACTUAL_START_FIELD", 2, TrialField(1)));
  spec.params.push_back(NumberParam("TRIAL", "ACTUAL_END_FIELD", 2, TrialField(frames)));
  spec.pointValue = [floatData](int i, int j, int c) -> float {
    if (Lost(i, j)) return c == 3 ? -1.0f : 0.0f;
    if (c == 3) return static_cast<float>(ResidualWord(i, j));
    const double mm = Position(i, j, c);
    return floatData ? static_cast<float>(mm) : static_cast<float>(std::lround(mm / kMarkerScale));
  };
  // The standard parameters scale raw values by 0.5 * 0.01 V per unit.
  spec.analogValue = [floatData](int i, int s, int k) -> float {
    const double raw = Volts(i, s, k) / (0.5 * 0.01);
    return floatData ? static_cast<float>(raw) : static_cast<float>(std::lround(raw));
  };
  return spec;
}

// A 90 MB VMS ADC file: records of 16 channels (a 10-byte record header,
// then the samples), 4 samples per video frame, the same signals as above.
bool WriteAdc(const std::filesystem::path& path) {
  constexpr int kAdcChannels = 16;
  constexpr int kAdcRecords = 90'000'000 / (10 + 2 * kAdcChannels);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::vector<std::int16_t> record(5 + kAdcChannels);
  bool ok = true;
  for (int i = 0; i < kAdcRecords && ok; ++i) {
    record[0] = kAdcChannels;
    record[2] = 4;
    for (int k = 0; k < kAdcChannels; ++k) {
      record[5 + k] = static_cast<std::int16_t>(2048 + std::lround(400.0 * Volts(i / 4, i % 4, k)));
    }
    ok = std::fwrite(record.data(), sizeof(std::int16_t), record.size(), f) == record.size();
  }
  return std::fclose(f) == 0 && ok;
}

// The same signals as the ADC file, one sample per frame.
bool WriteVad(const std::filesystem::path& path) {
  vadbuilder::VadFile vad;
  vad.n = 16;
  vad.analogRate = 2400;
  vad.videoRate = 50;
  vad.sample = [](std::int64_t f, int k) {
    const int i = static_cast<int>(f);
    return static_cast<std::int16_t>(2048 + std::lround(400.0 * Volts(i / 4, i % 4, k)));
  };
  const std::vector<unsigned char> bytes = vad.Bytes(90'000'000 / (2 * vad.n));
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_bench_files OUTDIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  for (const bool floatData : {true, false}) {
    const std::filesystem::path path = dir / (floatData ? "bench_float.c3d" : "bench_int.c3d");
    if (!WriteLarge(path.string(), BenchSpec(floatData))) {
      std::fprintf(stderr, "make_bench_files: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s  %.1f MB\n", path.c_str(), std::filesystem::file_size(path) / 1e6);
  }
  const std::filesystem::path longFile = dir / "bench_long.c3d";
  if (!WriteLarge(longFile.string(), BenchSpec(false, kLongFrames))) {
    std::fprintf(stderr, "make_bench_files: cannot write %s\n", longFile.c_str());
    return 1;
  }
  std::printf("%s  %.1f MB\n", longFile.c_str(), std::filesystem::file_size(longFile) / 1e6);
  const std::filesystem::path adc = dir / "bench_adc.adc";
  if (!WriteAdc(adc)) {
    std::fprintf(stderr, "make_bench_files: cannot write %s\n", adc.c_str());
    return 1;
  }
  std::printf("%s  %.1f MB\n", adc.c_str(), std::filesystem::file_size(adc) / 1e6);
  const std::filesystem::path vad = dir / "bench_vad01.vad";
  if (!WriteVad(vad)) {
    std::fprintf(stderr, "make_bench_files: cannot write %s\n", vad.c_str());
    return 1;
  }
  std::printf("%s  %.1f MB\n", vad.c_str(), std::filesystem::file_size(vad) / 1e6);
  return 0;
}
