#pragma once
// What the 3-D view of a recording shows, as plain data: the markers' places
// at any frame, the force platforms' outlines and, for plates whose forces are
// computed, the ground-reaction vector at its centre of pressure; and the
// camera that turns laboratory coordinates into pixels. The window layer only
// draws what these give it.
//
// Everything is kept in "view axes": the laboratory's axes turned so that the
// axis the file names as up (POINT:Y_SCREEN, "+Z" when it says nothing) is
// +Z. Looking up a frame costs the number of markers and plates, never the
// length of the recording: the plate series are computed once, when the scene
// is built.

#include <array>
#include <string>
#include <vector>

class CRecording;
struct CFormatDescription;

struct CVec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// One force platform: its outline and, for a computed type, its series at the
// first analog sample of every frame.
struct CScenePlate {
  bool hasCorners = false;
  std::array<CVec3, 4> corners{};
  bool hasForce = false;           // type 2 or 3
  std::vector<CVec3> force;        // per frame: along the laboratory's axes, up on the subject
  std::vector<CVec3> pressure;     // per frame: the centre of pressure
  std::vector<unsigned char> shown;  // per frame: 1 where a centre of pressure exists
};

// Axis-aligned bounds in view axes; empty when nothing was added.
struct CBounds {
  CVec3 lo;
  CVec3 hi;
  bool empty = true;
  void Add(const CVec3& p);
  CVec3 Centre() const;
  float Radius() const;  // half the diagonal
};

class CScene {
 public:
  // Built once per recording; borrows nothing from it but the point samples,
  // so the recording must outlive the scene.
  static CScene FromRecording(const CRecording& rec, const CFormatDescription& format);

  int FrameCount() const { return m_frames; }
  int MarkerCount() const { return static_cast<int>(m_labels.size()); }
  const std::string& Label(int j) const { return m_labels[static_cast<std::size_t>(j)]; }
  const std::vector<CScenePlate>& Plates() const { return m_plates; }
  // The laboratory axis shown up (0 X, 1 Y, 2 Z) and its sign.
  int UpAxis() const { return m_upAxis; }
  int UpSign() const { return m_upSign; }

  // The markers' places at frame index i (0 = the recording's first frame)
  // in view axes; valid[j] is false where marker j has no place (a negative
  // residual, or a frame the file does not hold) and for points that are
  // model outputs (named in POINT:ANGLES, FORCES, MOMENTS, POWERS, SCALARS
  // or REACTIONS), which have no place at all.
  void MarkersAt(int i, std::vector<CVec3>& places, std::vector<unsigned char>& valid) const;
  // Platform p's vector at frame index i, scaled to `millimetresPerNewton`;
  // false where the plate has no computed force or no centre of pressure.
  bool ForceAt(int p, int i, float millimetresPerNewton, CVec3& from, CVec3& to) const;
  // Of every marker over the whole recording and every plate outline.
  const CBounds& Bounds() const { return m_bounds; }

  // Laboratory coordinates into view axes.
  CVec3 ToView(const CVec3& lab) const;

 private:
  const CRecording* m_rec = nullptr;
  int m_frames = 0;
  float m_scale = 1.0f;
  int m_upAxis = 2;
  int m_upSign = 1;
  std::vector<std::string> m_labels;
  std::vector<unsigned char> m_marker;  // 0 for a model output
  std::vector<CScenePlate> m_plates;
  CBounds m_bounds;
};

// An orbiting camera about a target point, in view axes (+Z up): azimuth
// and elevation in degrees, distance and vertical field of view.
struct CCamera {
  CVec3 target;
  float azimuth = -60.0f;
  float elevation = 20.0f;
  float distance = 4000.0f;
  float fieldOfView = 40.0f;

  // Where `p` lands in a width x height picture (pixel centres at +0.5);
  // false when it lies behind the camera or too close to it.
  bool Project(const CVec3& p, int width, int height, float& px, float& py,
               float* depth = nullptr) const;
  // Pixels per millimetre at `depth` from the camera.
  float PixelsPerUnit(float depth, int height) const;

  void Orbit(float degreesRight, float degreesUp);
  // Moves the target by a drag of (dx, dy) pixels.
  void Pan(float dx, float dy, int height);
  // factor < 1 comes closer.
  void Zoom(float factor);
  // Everything in `bounds` in view, from the current direction, in a
  // picture `aspect` times as wide as it is high.
  void Fit(const CBounds& bounds, float aspect = 1.0f);
  // Looks along view axis `axis` (0 X, 1 Y, 2 Z from above).
  void LookAlong(int axis);
};
