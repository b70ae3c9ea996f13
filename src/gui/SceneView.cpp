#include "gui/SceneView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "gui/FrameCursor.h"
#include "gui/GuiText.h"
#include "gui/PictureExport.h"
#include "gui/TimeBar.h"

namespace {

constexpr float kMarkerRadius = 12.0f;  // millimetres
constexpr int kSmallestDot = 7;         // pixels across
constexpr int kLargestDot = 28;
constexpr double kPickReach = 8.0;  // pixels beyond a dot's edge
constexpr double kDragThreshold = 3.0;
constexpr float kDegreesPerPixel = 0.4f;
constexpr float kWheelStep = 0.85f;
// The largest ground reaction is drawn this share of the markers' height.
constexpr float kForceShare = 0.5f;
constexpr float kDefaultForceScale = 1.0f;  // millimetres per newton
constexpr int kGridLines = 24;              // at most, each way

const QColor kBackTop(250, 251, 253);
const QColor kBackBottom(214, 220, 230);
const QColor kGridColour(170, 176, 188);
const QColor kMarkerColour(40, 110, 200);
const QColor kHighlightColour(255, 140, 0);
const QColor kPlateFill(120, 120, 120, 60);
const QColor kPlateEdge(70, 70, 70);
const QColor kForceColour(200, 30, 30);
const QColor kAxisColours[3] = {QColor(210, 40, 40), QColor(40, 160, 40), QColor(40, 70, 220)};
constexpr const char* kAxisNames[3] = {"X", "Y", "Z"};

float NiceStep(float span) {
  // 100, 200, 500, 1000 ... millimetres, so that the floor holds a few dozen lines.
  const float raw = std::max(span / 12.0f, 1.0f);
  const float magnitude = std::pow(10.0f, std::floor(std::log10(raw)));
  for (const float m : {1.0f, 2.0f, 5.0f}) {
    if (m * magnitude >= raw) return m * magnitude;
  }
  return 10.0f * magnitude;
}

}  // namespace

CSceneView::CSceneView(const CScene& scene, CFrameCursor* cursor, QWidget* parent)
    : QWidget(parent), m_scene(scene), m_cursor(cursor) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(160, 120);
  m_highlighted.assign(static_cast<std::size_t>(scene.MarkerCount()), 0);
  connect(cursor, &CFrameCursor::FrameChanged, this, [this] {
    m_hover = -1;
    update();
  });

  // The floor under everything, in whole grid steps, and the force scale
  // from the largest reaction of the recording (computed once).
  const CBounds& b = scene.Bounds();
  CBounds floor;
  floor.Add({std::min(b.empty ? 0.0f : b.lo.x, 0.0f), std::min(b.empty ? 0.0f : b.lo.y, 0.0f), 0.0f});
  floor.Add({std::max(b.empty ? 1000.0f : b.hi.x, 0.0f), std::max(b.empty ? 1000.0f : b.hi.y, 0.0f), 0.0f});
  m_gridStep = NiceStep(std::max(floor.hi.x - floor.lo.x, floor.hi.y - floor.lo.y));
  const float s = m_gridStep;
  m_floor.Add({std::floor(floor.lo.x / s) * s - s, std::floor(floor.lo.y / s) * s - s, 0.0f});
  m_floor.Add({std::ceil(floor.hi.x / s) * s + s, std::ceil(floor.hi.y / s) * s + s, 0.0f});
  float largest = 0.0f;
  for (const CScenePlate& plate : scene.Plates()) {
    for (std::size_t i = 0; i < plate.force.size(); ++i) {
      if (plate.shown[i] == 0) continue;
      const CVec3& f = plate.force[i];
      largest = std::max(largest, std::sqrt(f.x * f.x + f.y * f.y + f.z * f.z));
    }
  }
  const float height = b.empty ? 1000.0f : std::max(b.hi.z - b.lo.z, 500.0f);
  m_forceScale = largest > 0.0f && std::isfinite(largest) ? kForceShare * height / largest
                                                          : kDefaultForceScale;
  FitAll();
}

void CSceneView::FitAll() {
  CBounds all = m_scene.Bounds();
  if (all.empty) all = m_floor;
  m_camera.Fit(all, static_cast<float>(width()) / std::max(height(), 1));
  update();
}

void CSceneView::SetHighlighted(const std::vector<int>& points) {
  m_highlighted.assign(static_cast<std::size_t>(m_scene.MarkerCount()), 0);
  for (const int j : points) {
    if (j >= 0 && j < m_scene.MarkerCount()) m_highlighted[static_cast<std::size_t>(j)] = 1;
  }
  update();
}

std::vector<CSceneView::CDrawnMarker> CSceneView::ProjectMarkers() const {
  std::vector<CDrawnMarker> drawn;
  const int frame = m_cursor->Frame() - m_cursor->Clock().FirstFrame();
  m_scene.MarkersAt(frame, m_places, m_valid);
  drawn.reserve(m_places.size());
  for (std::size_t j = 0; j < m_places.size(); ++j) {
    if (m_valid[j] == 0) continue;
    CDrawnMarker d{static_cast<int>(j), 0, 0, 0, 0};
    if (!m_camera.Project(m_places[j], width(), height(), d.x, d.y, &d.depth)) continue;
    const float across = 2.0f * kMarkerRadius * m_camera.PixelsPerUnit(d.depth, height());
    d.radius = std::clamp(across, static_cast<float>(kSmallestDot), static_cast<float>(kLargestDot)) / 2;
    drawn.push_back(d);
  }
  std::sort(drawn.begin(), drawn.end(),
            [](const CDrawnMarker& a, const CDrawnMarker& b) { return a.depth > b.depth; });
  return drawn;
}

int CSceneView::MarkerAt(const QPointF& at) const {
  int best = -1;
  double bestDistance = 0.0;
  for (const CDrawnMarker& d : ProjectMarkers()) {
    const double distance = std::hypot(d.x - at.x(), d.y - at.y());
    if (distance > d.radius + kPickReach) continue;
    if (best < 0 || distance < bestDistance) {
      best = d.index;
      bestDistance = distance;
    }
  }
  return best;
}

const QPixmap& CSceneView::Sprite(int diameter, bool highlighted) {
  const int key = diameter * 2 + (highlighted ? 1 : 0);
  auto it = m_sprites.find(key);
  if (it != m_sprites.end()) return *it;
  // A lit sphere: bright towards the upper left, dark at the rim.
  QPixmap sprite(diameter + 2, diameter + 2);
  sprite.fill(Qt::transparent);
  QPainter p(&sprite);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor base = highlighted ? kHighlightColour : kMarkerColour;
  const double r = diameter / 2.0;
  QRadialGradient g(QPointF(1 + r * 0.7, 1 + r * 0.7), r * 1.3, QPointF(1 + r * 0.6, 1 + r * 0.6));
  g.setColorAt(0.0, base.lighter(190));
  g.setColorAt(0.5, base);
  g.setColorAt(1.0, base.darker(220));
  p.setBrush(g);
  p.setPen(QPen(base.darker(250), highlighted ? 1.5 : 0.8));
  p.drawEllipse(QRectF(1, 1, diameter, diameter));
  p.end();
  return *m_sprites.insert(key, sprite);
}

void CSceneView::DrawGrid(QPainter& p) const {
  p.setPen(QPen(kGridColour, 0));
  const float s = m_gridStep;
  const auto line = [&](const CVec3& a, const CVec3& b) {
    float ax, ay, bx, by;
    // Lines behind the camera are left out rather than clipped: the floor is
    // seen from above or beside in practice.
    if (m_camera.Project(a, width(), height(), ax, ay) && m_camera.Project(b, width(), height(), bx, by)) {
      p.drawLine(QPointF(ax, ay), QPointF(bx, by));
    }
  };
  int n = 0;
  for (float x = m_floor.lo.x; x <= m_floor.hi.x + 0.5f && n < kGridLines * 4; x += s, ++n) {
    line({x, m_floor.lo.y, 0.0f}, {x, m_floor.hi.y, 0.0f});
  }
  n = 0;
  for (float y = m_floor.lo.y; y <= m_floor.hi.y + 0.5f && n < kGridLines * 4; y += s, ++n) {
    line({m_floor.lo.x, y, 0.0f}, {m_floor.hi.x, y, 0.0f});
  }
}

void CSceneView::DrawAxes(QPainter& p) const {
  float ox, oy;
  if (!m_camera.Project({0, 0, 0}, width(), height(), ox, oy)) return;
  const float length = m_gridStep;
  for (int a = 0; a < 3; ++a) {
    CVec3 end{a == 0 ? length : 0.0f, a == 1 ? length : 0.0f, a == 2 ? length : 0.0f};
    float ex, ey;
    if (!m_camera.Project(end, width(), height(), ex, ey)) continue;
    p.setPen(QPen(kAxisColours[a], 2));
    p.drawLine(QPointF(ox, oy), QPointF(ex, ey));
    p.drawText(QPointF(ex + 3, ey - 3), kAxisNames[a]);
  }
}

void CSceneView::DrawPlates(QPainter& p) const {
  const int frame = m_cursor->Frame() - m_cursor->Clock().FirstFrame();
  const auto& plates = m_scene.Plates();
  for (std::size_t n = 0; n < plates.size(); ++n) {
    const CScenePlate& plate = plates[n];
    if (!plate.hasCorners) continue;
    QPolygonF outline;
    for (const CVec3& c : plate.corners) {
      float x, y;
      if (m_camera.Project(c, width(), height(), x, y)) outline << QPointF(x, y);
    }
    if (outline.size() != 4) continue;
    p.setPen(QPen(kPlateEdge, 1.5));
    p.setBrush(kPlateFill);
    p.drawPolygon(outline);
    p.drawText(outline.boundingRect(), Qt::AlignCenter, QString::number(n + 1));
  }
  p.setBrush(Qt::NoBrush);
  for (int n = 0; n < static_cast<int>(plates.size()); ++n) {
    CVec3 from, to;
    if (!m_scene.ForceAt(n, frame, m_forceScale, from, to)) continue;
    float ax, ay, bx, by;
    if (!m_camera.Project(from, width(), height(), ax, ay) ||
        !m_camera.Project(to, width(), height(), bx, by)) {
      continue;
    }
    p.setPen(QPen(kForceColour, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(ax, ay), QPointF(bx, by));
    // An arrow head at the free end.
    const double angle = std::atan2(ay - by, ax - bx);
    const double head = 10.0;
    for (const double turn : {0.4, -0.4}) {
      p.drawLine(QPointF(bx, by), QPointF(bx + head * std::cos(angle + turn),
                                          by + head * std::sin(angle + turn)));
    }
    p.setBrush(kForceColour);
    p.drawEllipse(QPointF(ax, ay), 3.0, 3.0);
    p.setBrush(Qt::NoBrush);
  }
}

void CSceneView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QLinearGradient back(0, 0, 0, height());
  back.setColorAt(0, kBackTop);
  back.setColorAt(1, kBackBottom);
  p.fillRect(rect(), back);
  p.setRenderHint(QPainter::Antialiasing);
  DrawGrid(p);
  DrawAxes(p);
  DrawPlates(p);
  const std::vector<CDrawnMarker> drawn = ProjectMarkers();
  for (const CDrawnMarker& d : drawn) {
    const bool lit = m_highlighted[static_cast<std::size_t>(d.index)] != 0;
    const int diameter = static_cast<int>(std::lround(2 * d.radius));
    p.drawPixmap(QPointF(d.x - diameter / 2.0 - 1, d.y - diameter / 2.0 - 1), Sprite(diameter, lit));
  }
  // The hovered marker's label, and those of the chosen ones.
  p.setPen(palette().color(QPalette::Text));
  const QFontMetrics fm = p.fontMetrics();
  for (const CDrawnMarker& d : drawn) {
    const bool lit = m_highlighted[static_cast<std::size_t>(d.index)] != 0;
    if (!lit && d.index != m_hover) continue;
    const QString label = ToQ(m_scene.Label(d.index));
    const QRectF box(d.x + d.radius + 3, d.y - fm.height() / 2.0 - 1, fm.horizontalAdvance(label) + 6,
                     fm.height() + 2);
    p.fillRect(box, QColor(255, 255, 255, 210));
    p.drawText(box, Qt::AlignCenter, label);
  }
  const QString frame = QString("Frame %1").arg(m_cursor->Frame());
  p.drawText(QRect(6, 4, width() - 12, fm.height()), Qt::AlignLeft, frame);
}

void CSceneView::mousePressEvent(QMouseEvent* event) {
  m_button = event->button();
  m_pressAt = m_lastAt = event->position();
  m_moved = false;
  setFocus(Qt::MouseFocusReason);
  event->accept();
}

void CSceneView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (m_button == Qt::NoButton) {
    const int hover = MarkerAt(at);
    if (hover != m_hover) {
      m_hover = hover;
      update();
    }
    return;
  }
  if (!m_moved && (at - m_pressAt).manhattanLength() < kDragThreshold) return;
  m_moved = true;
  m_cameraMoved = true;
  const QPointF d = at - m_lastAt;
  m_lastAt = at;
  if (m_button == Qt::LeftButton) {
    m_camera.Orbit(static_cast<float>(d.x()) * kDegreesPerPixel, static_cast<float>(d.y()) * kDegreesPerPixel);
  } else {
    m_camera.Pan(static_cast<float>(d.x()), static_cast<float>(d.y()), height());
  }
  update();
}

void CSceneView::mouseReleaseEvent(QMouseEvent* event) {
  const Qt::MouseButton button = m_button;
  m_button = Qt::NoButton;
  if (m_moved) return;
  if (button == Qt::LeftButton) {
    const int j = MarkerAt(event->position());
    if (j >= 0) emit MarkerClicked(j, (event->modifiers() & Qt::ControlModifier) != 0);
  } else if (button == Qt::RightButton) {
    ShowPictureMenu(this, event->globalPosition().toPoint(), m_pictureName);
  }
}

void CSceneView::mouseDoubleClickEvent(QMouseEvent* event) {
  FitAll();
  event->accept();
}

void CSceneView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches != 0.0) {
    m_camera.Zoom(static_cast<float>(std::pow(kWheelStep, notches)));
    m_cameraMoved = true;
    update();
  }
  event->accept();
}

void CSceneView::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    switch (event->key()) {
      case Qt::Key_F:
        FitAll();
        return;
      case Qt::Key_1:
      case Qt::Key_2:
      case Qt::Key_3:
        m_camera.LookAlong(event->key() - Qt::Key_1);
        m_cameraMoved = true;
        FitAll();
        return;
      default:
        break;
    }
  }
  if (!HandlePlaybackKey(*m_cursor, event->key(), event->modifiers())) QWidget::keyPressEvent(event);
}

void CSceneView::resizeEvent(QResizeEvent*) {
  // Until the user moves the camera, the view keeps everything in sight.
  if (!m_cameraMoved) FitAll();
}

void CSceneView::leaveEvent(QEvent*) {
  if (m_hover >= 0) {
    m_hover = -1;
    update();
  }
}
