#include "c3dbuilder/C3dBuilder.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace c3dbuilder {

void PutWord(std::uint8_t* out, std::uint16_t v, Processor p) {
  if (p == Processor::Mips) {
    out[0] = static_cast<std::uint8_t>(v >> 8);
    out[1] = static_cast<std::uint8_t>(v);
  } else {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
  }
}

void PutFloat(std::uint8_t* out, float v, Processor p) {
  std::uint8_t c[4];
  std::memcpy(c, &v, 4);  // little-endian host
  switch (p) {
    case Processor::Intel:
      std::memcpy(out, c, 4);
      break;
    case Processor::Mips:
      out[0] = c[3];
      out[1] = c[2];
      out[2] = c[1];
      out[3] = c[0];
      break;
    case Processor::Dec:
      if (v == 0.0f) {
        std::memset(out, 0, 4);
      } else {
        // Inverse of the reader's b2 b3 b0 (b1 - 1).
        out[0] = c[2];
        out[1] = static_cast<std::uint8_t>(c[3] + 1);
        out[2] = c[0];
        out[3] = c[1];
      }
      break;
  }
}

Param StringParam(const std::string& group, const std::string& name,
                  const std::vector<std::string>& strings, const std::string& description) {
  Param p;
  p.group = group;
  p.name = name;
  p.description = description;
  p.type = -1;
  std::size_t width = 1;
  for (const auto& s : strings) width = std::max(width, s.size());
  p.dims = {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(strings.size())};
  p.strings = strings;
  return p;
}

Param NumberParam(const std::string& group, const std::string& name, std::int8_t type,
                  const std::vector<float>& values, const std::string& description) {
  Param p;
  p.group = group;
  p.name = name;
  p.description = description;
  p.type = type;
  if (values.size() != 1) p.dims = {static_cast<std::uint8_t>(values.size())};
  p.numbers = values;
  return p;
}

void AddStandardParameters(Spec& spec, const std::vector<std::string>& pointLabels,
                           const std::vector<std::string>& analogLabels) {
  spec.groups.push_back({"POINT", "3-D point parameters", false});
  spec.groups.push_back({"ANALOG", "Analog data parameters", false});
  spec.params.push_back(NumberParam("POINT", "USED", 2, {float(spec.points)}, "Number of points"));
  spec.params.push_back(StringParam("POINT", "LABELS", pointLabels, "Point labels"));
  spec.params.push_back(
      NumberParam("POINT", "SCALE", 4, {spec.floatData ? -spec.markerScale : spec.markerScale}));
  spec.params.push_back(NumberParam("POINT", "RATE", 4, {spec.frameRate}));
  spec.params.push_back(NumberParam("POINT", "FRAMES", 2, {float(spec.frames)}));
  spec.params.push_back(
      NumberParam("ANALOG", "USED", 2, {float(spec.analogChannels)}, "Number of channels"));
  spec.params.push_back(StringParam("ANALOG", "LABELS", analogLabels, "Channel labels"));
  std::vector<float> scales(spec.analogChannels, 0.5f);
  std::vector<float> offsets(spec.analogChannels, 0.0f);
  spec.params.push_back(NumberParam("ANALOG", "SCALE", 4, scales));
  spec.params.push_back(NumberParam("ANALOG", "OFFSET", 2, offsets));
  spec.params.push_back(NumberParam("ANALOG", "GEN_SCALE", 4, {0.01f}));
  spec.params.push_back(NumberParam("ANALOG", "RATE", 4, {spec.frameRate * spec.analogRatio}));
}

namespace {

struct Writer {
  std::vector<std::uint8_t>& b;
  Processor p;
  void Byte(int v) { b.push_back(static_cast<std::uint8_t>(v)); }
  void Word(int v) {
    std::uint8_t t[2];
    PutWord(t, static_cast<std::uint16_t>(v), p);
    b.insert(b.end(), t, t + 2);
  }
  void Float(float v) {
    std::uint8_t t[4];
    PutFloat(t, v, p);
    b.insert(b.end(), t, t + 4);
  }
  void Text(const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
};

int GroupNumber(const Spec& spec, const std::string& name) {
  for (std::size_t i = 0; i < spec.groups.size(); ++i) {
    if (spec.groups[i].name == name) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::vector<std::uint8_t> ParameterSection(const Spec& spec) {
  std::vector<std::uint8_t> b = {1, 80, 0, static_cast<std::uint8_t>(83 + int(spec.processor))};
  Writer w{b, spec.processor};
  auto record = [&](const std::string& name, bool locked, int number, auto body) {
    const int n = static_cast<int>(name.size());
    w.Byte(locked ? -n : n);
    w.Byte(number);
    w.Text(name);
    const std::size_t offsetAt = b.size();
    w.Word(0);
    body();
    const std::size_t next = b.size();
    PutWord(&b[offsetAt], static_cast<std::uint16_t>(next - offsetAt), spec.processor);
  };
  for (std::size_t i = 0; i < spec.groups.size(); ++i) {
    const Group& g = spec.groups[i];
    record(g.name, g.locked, -(static_cast<int>(i) + 1), [&] {
      w.Byte(static_cast<int>(g.description.size()));
      w.Text(g.description);
    });
  }
  for (const Param& prm : spec.params) {
    record(prm.name, prm.locked, GroupNumber(spec, prm.group), [&] {
      w.Byte(prm.type);
      w.Byte(static_cast<int>(prm.dims.size()));
      for (auto d : prm.dims) w.Byte(d);
      if (prm.type == -1) {
        const std::size_t width = prm.dims.empty() ? 1 : prm.dims[0];
        std::size_t count = 1;
        for (std::size_t k = 1; k < prm.dims.size(); ++k) count *= prm.dims[k];
        for (std::size_t j = 0; j < count; ++j) {
          std::string s = j < prm.strings.size() ? prm.strings[j] : std::string();
          s.resize(width, ' ');
          w.Text(s);
        }
      } else {
        for (float v : prm.numbers) {
          if (prm.type == 1) w.Byte(static_cast<int>(v));
          if (prm.type == 2) w.Word(static_cast<int>(v));
          if (prm.type == 4) w.Float(v);
        }
      }
      w.Byte(static_cast<int>(prm.description.size()));
      w.Text(prm.description);
    });
  }
  w.Byte(0);
  w.Byte(0);
  const std::size_t blocks =
      (b.size() + 511) / 512 + static_cast<std::size_t>(spec.spareParameterBlocks);
  b.resize(blocks * 512, 0);
  b[2] = static_cast<std::uint8_t>(blocks);
  return b;
}

std::vector<std::uint8_t> HeaderBlock(const Spec& spec, int dataStart) {
  std::vector<std::uint8_t> b(512, 0);
  const Processor p = spec.processor;
  b[0] = 2;
  b[1] = 0x50;
  PutWord(&b[2], static_cast<std::uint16_t>(spec.points), p);
  PutWord(&b[4], static_cast<std::uint16_t>(spec.analogChannels * spec.analogRatio), p);
  PutWord(&b[6], static_cast<std::uint16_t>(spec.firstFrame), p);
  PutWord(&b[8], static_cast<std::uint16_t>(spec.firstFrame + spec.frames - 1), p);
  PutWord(&b[10], static_cast<std::uint16_t>(spec.maxGap), p);
  PutFloat(&b[12], spec.floatData ? -spec.markerScale : spec.markerScale, p);
  PutWord(&b[16], static_cast<std::uint16_t>(dataStart), p);
  PutWord(&b[18], static_cast<std::uint16_t>(spec.analogRatio), p);
  PutFloat(&b[20], spec.frameRate, p);
  if (!spec.events.empty()) {
    PutWord(&b[298], 12345, p);
    PutWord(&b[300], static_cast<std::uint16_t>(spec.events.size()), p);
    for (std::size_t i = 0; i < spec.events.size() && i < 18; ++i) {
      PutFloat(&b[304 + 4 * i], spec.events[i].time, p);
      b[376 + i] = spec.events[i].display;
      std::string l = spec.events[i].label;
      l.resize(4, ' ');
      std::memcpy(&b[396 + 4 * i], l.data(), 4);
    }
  }
  return b;
}

float DefaultPoint(int i, int j, int c) {
  return c == 3 ? 0.0f : static_cast<float>((j + 1) * 100 + c * 10 + i % 7);
}
float DefaultAnalog(int i, int s, int k) {
  return static_cast<float>((k + 1) * 10 + s + i % 5);
}

void AppendFrame(const Spec& spec, int i, std::vector<std::uint8_t>& out) {
  Writer w{out, spec.processor};
  auto put = [&](float v) {
    if (spec.floatData) {
      w.Float(v);
    } else {
      w.Word(static_cast<int>(v));
    }
  };
  for (int j = 0; j < spec.points; ++j) {
    for (int c = 0; c < 4; ++c)
      put(spec.pointValue ? spec.pointValue(i, j, c) : DefaultPoint(i, j, c));
  }
  for (int s = 0; s < spec.analogRatio; ++s) {
    for (int k = 0; k < spec.analogChannels; ++k) {
      put(spec.analogValue ? spec.analogValue(i, s, k) : DefaultAnalog(i, s, k));
    }
  }
}

}  // namespace

std::vector<std::uint8_t> Build(const Spec& spec) {
  std::vector<std::uint8_t> params = ParameterSection(spec);
  const int dataStart = 2 + static_cast<int>(params.size() / 512);
  std::vector<std::uint8_t> out = HeaderBlock(spec, dataStart);
  out.insert(out.end(), params.begin(), params.end());
  for (int i = 0; i < spec.frames; ++i) AppendFrame(spec, i, out);
  out.resize((out.size() + 511) / 512 * 512, 0);
  return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

bool WriteLarge(const std::string& path, const Spec& spec) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  std::vector<std::uint8_t> params = ParameterSection(spec);
  const int dataStart = 2 + static_cast<int>(params.size() / 512);
  std::vector<std::uint8_t> head = HeaderBlock(spec, dataStart);
  f.write(reinterpret_cast<const char*>(head.data()), 512);
  f.write(reinterpret_cast<const char*>(params.data()),
          static_cast<std::streamsize>(params.size()));
  std::vector<std::uint8_t> chunk;
  std::uint64_t written = 0;
  for (int i = 0; i < spec.frames; ++i) {
    chunk.clear();
    AppendFrame(spec, i, chunk);
    f.write(reinterpret_cast<const char*>(chunk.data()),
            static_cast<std::streamsize>(chunk.size()));
    written += chunk.size();
  }
  const std::vector<char> pad((512 - written % 512) % 512, 0);
  f.write(pad.data(), static_cast<std::streamsize>(pad.size()));
  return static_cast<bool>(f);
}

}  // namespace c3dbuilder
