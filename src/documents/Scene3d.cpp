#include "documents/Scene3d.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

#include "export/ItemLabels.h"
#include "formats/FormatDescription.h"
#include "formats/c3d/ForcePlates.h"
#include "model/Recording.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kNearest = 1.0f;          // millimetres: nothing is drawn closer
constexpr float kSteepest = 89.5f;        // degrees: straight down has no "right"
constexpr float kFitMargin = 1.15f;

float Radians(float degrees) {
  return degrees * kPi / 180.0f;
}

CVec3 Sub(const CVec3& a, const CVec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
float Dot(const CVec3& a, const CVec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The axis ("+X", "-Z", "Y", ...) of a POINT:*_SCREEN text: 0 X, 1 Y, 2 Z,
// -1 when it names none.
int ScreenAxis(const std::string& text, int& sign) {
  sign = 1;
  for (const char c : text) {
    if (c == '-') sign = -1;
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (u >= 'X' && u <= 'Z') return u - 'X';
  }
  return -1;
}

struct CCameraAxes {
  CVec3 eye, right, up, forward;
};

CCameraAxes AxesOf(const CCamera& c) {
  const float az = Radians(c.azimuth);
  const float el = Radians(std::clamp(c.elevation, -kSteepest, kSteepest));
  const CVec3 back{std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)};
  CCameraAxes a;
  a.eye = {c.target.x + c.distance * back.x, c.target.y + c.distance * back.y,
           c.target.z + c.distance * back.z};
  a.forward = {-back.x, -back.y, -back.z};
  // forward x (0, 0, 1), normalised: the horizontal to the right.
  const float h = std::sqrt(a.forward.x * a.forward.x + a.forward.y * a.forward.y);
  a.right = {a.forward.y / h, -a.forward.x / h, 0.0f};
  // right x forward.
  a.up = {a.right.y * a.forward.z - a.right.z * a.forward.y,
          a.right.z * a.forward.x - a.right.x * a.forward.z,
          a.right.x * a.forward.y - a.right.y * a.forward.x};
  return a;
}

// Points that are not markers: joint angles, forces, moments, powers and
// other model outputs that capture systems store as 3-D points and name in
// these POINT lists. Drawn as places they would be a cloud near the origin.
std::set<std::string> ModelOutputs(const CParamSet& set) {
  std::set<std::string> names;
  for (const char* list : {"ANGLES", "FORCES", "MOMENTS", "POWERS", "SCALARS", "REACTIONS"}) {
    const CContinuedStrings strings(set, "POINT", list);
    for (int i = 0; i < strings.Count(); ++i) {
      if (const std::string* name = strings.At(i); name != nullptr && !name->empty()) {
        names.insert(*name);
      }
    }
  }
  return names;
}

}  // namespace

void CBounds::Add(const CVec3& p) {
  if (empty) {
    lo = hi = p;
    empty = false;
    return;
  }
  lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
  hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
}

CVec3 CBounds::Centre() const {
  return {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
}

float CBounds::Radius() const {
  const CVec3 d = Sub(hi, lo);
  return std::sqrt(Dot(d, d)) / 2;
}

CVec3 CScene::ToView(const CVec3& lab) const {
  const float v[3] = {lab.x, lab.y, lab.z};
  // A right-handed turn that takes the up axis to +Z: the other two follow
  // in cyclic order, and a downward up axis turns half round the first.
  const float up = v[m_upAxis] * static_cast<float>(m_upSign);
  const float a = v[(m_upAxis + 1) % 3];
  const float b = v[(m_upAxis + 2) % 3] * static_cast<float>(m_upSign);
  return {a, b, up};
}

CScene CScene::FromRecording(const CRecording& rec, const CFormatDescription& format) {
  CScene scene;
  scene.m_rec = &rec;
  scene.m_frames = std::max(rec.FrameCount(), 0);
  scene.m_scale = rec.integerData ? rec.markerScale : 1.0f;
  if (const CParam* y = rec.paramSet.Find("POINT", "Y_SCREEN");
      y != nullptr && y->type == kParamChar && !y->strings.empty()) {
    int sign = 1;
    const int axis = ScreenAxis(y->strings.front(), sign);
    if (axis >= 0) {
      scene.m_upAxis = axis;
      scene.m_upSign = sign;
    }
  }
  if (!format.hasPoints) return scene;
  scene.m_labels =
      ItemLabels(rec.paramSet, "Point", "Labels", kMarkerLabelFormat, rec.PointCount());
  const std::set<std::string> outputs = ModelOutputs(rec.paramSet);
  scene.m_marker.assign(scene.m_labels.size(), 1);
  for (int j = 0; j < rec.PointCount(); ++j) {
    const CVideo& v = rec.points[static_cast<std::size_t>(j)];
    if (outputs.count(scene.m_labels[static_cast<std::size_t>(j)]) != 0) {
      scene.m_marker[static_cast<std::size_t>(j)] = 0;
      continue;
    }
    if (rec.FirstValidFrame(j) < 0) continue;
    const float s = scene.m_scale;
    scene.m_bounds.Add(scene.ToView({v.minX * s, v.minY * s, v.minZ * s}));
    scene.m_bounds.Add(scene.ToView({v.maxX * s, v.maxY * s, v.maxZ * s}));
  }

  const int plates = GetPlateCount(rec);
  const int ratio = std::max(rec.analogRatio, 1);
  std::vector<float> series[5];
  for (int p = 0; p < plates && p < rec.AnalogCount(); ++p) {
    CScenePlate plate;
    float c[12];
    if (GetPlateCorners(rec, p, c)) {
      plate.hasCorners = true;
      for (int i = 0; i < 4; ++i) {
        plate.corners[static_cast<std::size_t>(i)] = scene.ToView({c[3 * i], c[3 * i + 1], c[3 * i + 2]});
        scene.m_bounds.Add(plate.corners[static_cast<std::size_t>(i)]);
      }
    }
    const int type = GetPlateType(rec, p);
    if (type == 2 || type == 3) {
      const PlateComponent parts[5] = {PlateComponent::FX, PlateComponent::FY, PlateComponent::FZ,
                                       PlateComponent::DX, PlateComponent::DY};
      for (int k = 0; k < 5; ++k) ComputePlateComponent(rec, p, parts[k], series[k]);
      std::vector<unsigned char> shown;
      ComputeCopShown(rec, p, shown);
      // The same signs as the exports: along the laboratory's axes, the
      // vertical force pushing up on the subject.
      const float sx = static_cast<float>(GetPlateForceSign(rec, p, 0));
      const float sy = static_cast<float>(GetPlateForceSign(rec, p, 1));
      float surface = 0.0f;
      if (plate.hasCorners) surface = (c[2] + c[5] + c[8] + c[11]) / 4;
      const std::size_t n = std::min(shown.size() / static_cast<std::size_t>(ratio),
                                     static_cast<std::size_t>(scene.m_frames));
      plate.hasForce = true;
      plate.force.resize(n);
      plate.pressure.resize(n);
      plate.shown.resize(n);
      for (std::size_t i = 0; i < n; ++i) {
        const std::size_t s = i * static_cast<std::size_t>(ratio);
        plate.force[i] = scene.ToView({sx * series[0][s], sy * series[1][s], -series[2][s]});
        plate.pressure[i] = scene.ToView({series[3][s], series[4][s], surface});
        plate.shown[i] = shown[s];
      }
    }
    scene.m_plates.push_back(std::move(plate));
  }
  return scene;
}

void CScene::MarkersAt(int i, std::vector<CVec3>& places, std::vector<unsigned char>& valid) const {
  const std::size_t n = m_labels.size();
  places.resize(n);
  valid.assign(n, 0);
  if (m_rec == nullptr || i < 0 || i >= m_frames) return;
  for (std::size_t j = 0; j < n && j < m_rec->points.size(); ++j) {
    if (m_marker[j] == 0) continue;
    const CSampleBuffer& b = m_rec->points[j].samples;
    const std::size_t at = static_cast<std::size_t>(i) * 4;
    if (at + 4 > b.Size()) continue;
    float v[4];
    for (int c = 0; c < 4; ++c) v[c] = b.At(at + static_cast<std::size_t>(c));
    const bool zero = v[0] == 0.0f && v[1] == 0.0f && v[2] == 0.0f;
    if (zero || m_rec->ResidualWord(static_cast<int>(j), i) < 0) continue;
    places[j] = ToView({v[0] * m_scale, v[1] * m_scale, v[2] * m_scale});
    valid[j] = 1;
  }
}

bool CScene::ForceAt(int p, int i, float millimetresPerNewton, CVec3& from, CVec3& to) const {
  if (p < 0 || p >= static_cast<int>(m_plates.size())) return false;
  const CScenePlate& plate = m_plates[static_cast<std::size_t>(p)];
  if (!plate.hasForce || i < 0 || static_cast<std::size_t>(i) >= plate.shown.size() ||
      plate.shown[static_cast<std::size_t>(i)] == 0) {
    return false;
  }
  const CVec3& f = plate.force[static_cast<std::size_t>(i)];
  from = plate.pressure[static_cast<std::size_t>(i)];
  to = {from.x + f.x * millimetresPerNewton, from.y + f.y * millimetresPerNewton,
        from.z + f.z * millimetresPerNewton};
  return std::isfinite(to.x) && std::isfinite(to.y) && std::isfinite(to.z);
}

bool CCamera::Project(const CVec3& p, int width, int height, float& px, float& py,
                      float* depth) const {
  const CCameraAxes a = AxesOf(*this);
  const CVec3 v = Sub(p, a.eye);
  const float z = Dot(v, a.forward);
  if (!(z > kNearest)) return false;
  const float f = PixelsPerUnit(z, height) * z;
  px = static_cast<float>(width) / 2 + f * Dot(v, a.right) / z;
  py = static_cast<float>(height) / 2 - f * Dot(v, a.up) / z;
  if (depth != nullptr) *depth = z;
  return std::isfinite(px) && std::isfinite(py);
}

float CCamera::PixelsPerUnit(float depth, int height) const {
  const float half = std::tan(Radians(fieldOfView) / 2);
  return static_cast<float>(height) / 2 / half / std::max(depth, kNearest);
}

void CCamera::Orbit(float degreesRight, float degreesUp) {
  azimuth = std::fmod(azimuth - degreesRight, 360.0f);
  elevation = std::clamp(elevation + degreesUp, -kSteepest, kSteepest);
}

void CCamera::Pan(float dx, float dy, int height) {
  const CCameraAxes a = AxesOf(*this);
  const float unit = 1.0f / PixelsPerUnit(distance, height);
  target = {target.x - (a.right.x * dx - a.up.x * dy) * unit,
            target.y - (a.right.y * dx - a.up.y * dy) * unit,
            target.z - (a.right.z * dx - a.up.z * dy) * unit};
}

void CCamera::Zoom(float factor) {
  distance = std::clamp(distance * factor, 10.0f, 1e7f);
}

void CCamera::Fit(const CBounds& bounds, float aspect) {
  if (bounds.empty) return;
  target = bounds.Centre();
  const float radius = std::max(bounds.Radius(), 100.0f);
  // A picture narrower than it is high sees less across than up and down.
  float half = Radians(fieldOfView) / 2;
  if (aspect > 0.0f && aspect < 1.0f) half = std::atan(std::tan(half) * aspect);
  distance = radius / std::sin(half) * kFitMargin;
}

void CCamera::LookAlong(int axis) {
  // From the positive end of X and Y, level; straight down for Z.
  switch (axis) {
    case 0:
      azimuth = 0.0f;
      elevation = 0.0f;
      break;
    case 1:
      azimuth = 90.0f;
      elevation = 0.0f;
      break;
    default:
      azimuth = -90.0f;
      elevation = kSteepest;
      break;
  }
}
