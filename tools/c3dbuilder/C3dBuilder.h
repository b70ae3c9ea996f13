#pragma once
// Builds C3D files in memory from a plain description: header, header events,
// groups and parameters, and samples from callbacks, in any of the three
// processor formats, integer or floating-point. Tests damage the bytes it
// returns; the benchmark and sample generators write them to disk.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace c3dbuilder {

enum class Processor { Intel = 1, Dec = 2, Mips = 3 };

struct Event {
  std::string label;  // up to 4 characters
  float time = 0;
  std::uint8_t display = 1;
};

struct Param {
  std::string group;  // name of its group (created when missing)
  std::string name;
  std::string description;
  std::int8_t type = 4;  // -1 CHAR, 1 BYTE, 2 INT, 4 FLOAT
  std::vector<std::uint8_t> dims;
  std::vector<float> numbers;        // BYTE, INT, FLOAT elements
  std::vector<std::string> strings;  // CHAR elements (padded to dims[0])
  bool locked = false;
};

struct Group {
  std::string name;
  std::string description;
  bool locked = false;
};

struct Spec {
  Processor processor = Processor::Intel;
  bool floatData = false;
  float markerScale = 0.1f;  // magnitude; float files store it negative
  float frameRate = 100.0f;
  int firstFrame = 1;
  int frames = 10;
  int points = 0;
  int analogChannels = 0;
  int analogRatio = 1;
  int maxGap = 0;
  std::vector<Event> events;
  std::vector<Group> groups;  // in file order; numbers -1, -2, ...
  std::vector<Param> params;  // written after all groups
  // Sample values: point coordinate c (0..3, 3 = residual/camera value) and
  // analog sample s of channel k. Defaults give a recognisable pattern.
  std::function<float(int frameIndex, int point, int coord)> pointValue;
  std::function<float(int frameIndex, int sample, int channel)> analogValue;
  // Extra blocks of parameter section beyond what the parameters need.
  int spareParameterBlocks = 0;
};

// Standard POINT, ANALOG and TRIAL-free parameters for a spec: POINT:USED,
// LABELS, SCALE, RATE, FRAMES; ANALOG:USED, LABELS, SCALE, OFFSET, GEN_SCALE, RATE.
void AddStandardParameters(Spec& spec, const std::vector<std::string>& pointLabels,
                           const std::vector<std::string>& analogLabels);

Param StringParam(const std::string& group, const std::string& name,
                  const std::vector<std::string>& strings, const std::string& description = "");
Param NumberParam(const std::string& group, const std::string& name, std::int8_t type,
                  const std::vector<float>& values, const std::string& description = "");

// The whole file.
std::vector<std::uint8_t> Build(const Spec& spec);

// Writes a file; returns false on failure.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Streams a large file without building it in memory.
bool WriteLarge(const std::string& path, const Spec& spec);

// Encoders of one value in a processor's format (file byte order).
void PutWord(std::uint8_t* out, std::uint16_t v, Processor p);
void PutFloat(std::uint8_t* out, float v, Processor p);

}  // namespace c3dbuilder
