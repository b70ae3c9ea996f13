#pragma once
// The curves of a signal plot as plain data: an analog channel's scaled
// samples or one coordinate of a 3D point, placed on a frame axis, and the
// minimum/maximum envelope of a curve per pixel column that the plot draws
// from. A recording of any length is drawn from one envelope value pair per
// column, so that a redraw costs the pixels, not the samples.
//
// The x axis counts frame indices (0 = the recording's first frame); analog
// sample s of a channel with R samples per frame lies at s / R. Series borrow
// the recording's sample buffers: the recording must outlive them.

#include <cstddef>
#include <string>
#include <vector>

#include "model/Recording.h"

struct CFormatDescription;

struct CPlotSeries {
  std::string name;  // legend text: "EMG1", "LASI x"
  std::string unit;  // of the values: "mV", "mm", "raw converter counts"; may be empty
  const CSampleBuffer* buffer = nullptr;
  std::size_t count = 0;   // samples in the curve
  std::size_t stride = 1;  // buffer elements from one sample to the next (4 for a point)
  std::size_t start = 0;   // element of sample 0 (a point's coordinate 0, 1 or 2)
  double samplesPerFrame = 1.0;
  float scale = 1.0f;  // value = (raw - offset) * scale
  float offset = 0.0f;
  // A point's sample is missing (a gap) where its residual word is negative.
  bool residualGaps = false;
  bool point = false;  // a point's coordinate, not an analog channel

  // Frame-axis position of sample i.
  double X(std::size_t i) const { return static_cast<double>(i) / samplesPerFrame; }
  // Sample i scaled; callers pass i < count.
  float Value(std::size_t i) const;
  bool Valid(std::size_t i) const;
  // The sample nearest frame-axis position x (clamped), or count when empty.
  std::size_t Nearest(double x) const;
};

// The curve of analog channel k: scaled the way the exports scale it when
// asked to (offset, channel and general scale), at the format's samples per
// frame.
CPlotSeries ChannelSeries(const CRecording& rec, const CFormatDescription& format, int k,
                          std::string name);
// Coordinate c (0 x, 1 y, 2 z) of point j, integer coordinates times the
// marker scale; frames with a negative residual are gaps.
CPlotSeries PointSeries(const CRecording& rec, int j, int c, std::string name);

// One pixel column: the lowest and highest value of the samples it covers.
// `valid` is false when it covers no sample, or only missing ones.
struct CEnvelopeColumn {
  float lo = 0.0f;
  float hi = 0.0f;
  bool valid = false;
};

// The envelope of `series` between frame-axis positions x0 and x1 (x0 < x1)
// over `columns` equal columns: column c covers the samples whose position
// lies in [x0 + c w, x0 + (c + 1) w), w = (x1 - x0) / columns.
std::vector<CEnvelopeColumn> ComputeEnvelope(const CPlotSeries& series, double x0, double x1,
                                             int columns);

// The text of a value-axis or time-axis tick at `value`, ticks `step` apart:
// as many decimals as the step needs and no exponent ("-800000", "0.25"); values
// of ten million and more, or steps finer than a millionth, with an SI prefix
// ("3G", "20µ"), so that a label stays a few characters wide.
std::string TickLabel(double value, double step);

// The value of every series at frame index `frame` (its first sample there),
// for the table of values at the time cursor: one column per series, named
// with its unit, and one row; "gap" where a point has no place.
struct CDetailsTable;
CDetailsTable CursorValues(const std::vector<CPlotSeries>& series, int frame);
