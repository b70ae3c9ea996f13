#pragma once
// Writer of integer Intel C3D files holding analog channels only, made from a
// recording of 16-bit channels sampled at one analog rate (one sample per
// recording frame) that a video frame rate groups into C3D frames of R
// samples per channel.
//
// File written (block n starts at byte (n - 1) * 512; words little-endian):
//   block 1       0 u8 2 (parameters at block 2)   1 u8 0x50
//                 2 word 0 points                  4 word N * R analog values per frame
//                 6 word 1 first frame             8 word V last frame
//                 10 word 0 interpolation gap      12 float 1.0 (integer data)
//                 16 word D data start             18 word R
//                 20 float frame rate; every other byte 0 (no events)
//   blocks 2 .. k parameter section: 2, 0x50, B, 84 (Intel), the group records,
//                 the parameter records with POINT:DATA_START = D appended, one
//                 zero byte, zeros to the end of block k; B = k - 1, D = k + 1
//                   group:     i8 -|name| when locked, i8 -number, name,
//                              word description length + 3, u8 length, description
//                   parameter: i8 -|name| when locked, i8 group number, name,
//                              word dimensions + description + data + 5, i8 type,
//                              u8 dimension count, dimensions, data,
//                              u8 description length, description
//   block D on    V frames of N * R words: sample s of channel k at s * N + k
//
// Names are written in upper case: readers look up "ANALOG:RATE", "USED",
// "SCALE", "LABELS" exactly. POINT:RATE and POINT:FRAMES carry the header's
// frame rate and frame count, so that every reader finds R = ANALOG:RATE /
// POINT:RATE. The recording itself is never changed.

#include <cstdint>
#include <vector>

class COutputFile;
class CProgressScope;
class CRecording;

// The refusal texts (after "ERROR in <recording> : ").
extern const char kErrC3dLayout[];    // "The recording cannot be laid out in C3D frames"
extern const char kErrC3dTooLarge[];  // "The recording is too large for a C3D file"
// "The recording's file changed before it was written as C3D": words copied
// from the recording's file (CRecording::wordsInFile) found it replaced, cut
// or rewritten since it was read.
extern const char kErrC3dSourceChanged[];

// R, the analog samples per video frame: the analog rate divided by the video
// frame rate, truncated; 0 when the video rate is not positive or the analog
// rate is below it.
std::int64_t AnalogSamplesPerVideoFrame(float analogRate, int videoFrameRate);

struct CC3dSource {
  const CRecording& recording;  // 16-bit channels, one sample per frame
  float analogRate = 0.0f;
  int videoFrameRate = 0;
  // The recording's frame numbers to write, first to last.
  int firstFrame = 0;
  int lastFrame = 0;
};

// Lays the source out on construction (the header and the parameter section
// are assembled in memory then), so that a refusal comes before anything is
// written. The source's recording must outlive the writer.
class CC3dWriter {
 public:
  explicit CC3dWriter(const CC3dSource& source);

  // nullptr when the recording can be written, else kErrC3dLayout or
  // kErrC3dTooLarge.
  const char* Refusal() const { return m_refusal; }

  // The layout (valid when there is no refusal).
  int Ratio() const { return static_cast<int>(m_ratio); }
  int VideoFrames() const { return static_cast<int>(m_videoFrames); }
  float FrameRate() const { return m_frameRate; }
  int ParameterBlocks() const { return m_blocks; }
  int DataStart() const { return m_blocks + 2; }
  // Byte after the zero that ends the parameter records.
  int ParameterEnd() const { return m_parameterEnd; }
  // The last recording frame written: the first + V * R - 1 (samples beyond
  // whole video frames are not written).
  int LastFrameWritten() const;

  // Appends the whole file to `out`, stepping `progress` after the header,
  // the parameter section and the data (three steps). Throws what `out`
  // throws when a write fails.
  void Write(COutputFile& out, CProgressScope& progress) const;

 private:
  const char* Lay();
  const char* AssembleParameters();
  void WriteData(COutputFile& out) const;

  const CC3dSource m_source;
  std::int64_t m_ratio = 0;
  std::int64_t m_videoFrames = 0;
  float m_frameRate = 0.0f;
  int m_blocks = 0;
  int m_parameterEnd = 0;
  std::vector<std::uint8_t> m_head;  // header block and parameter section
  const char* m_refusal = nullptr;
};
