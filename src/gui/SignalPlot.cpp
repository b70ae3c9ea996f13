#include "gui/SignalPlot.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <set>

#include "gui/GuiText.h"
#include "gui/PictureExport.h"

namespace {

constexpr int kLeftMargin = 64;
constexpr int kRightMargin = 12;
constexpr int kTopMargin = 6;  // above the line of axis units
constexpr int kBottomMargin = 34;
constexpr int kDragThreshold = 3;      // pixels before a press becomes a drag
constexpr double kMinimumSpan = 0.01;  // frames: the closest zoom
constexpr double kWheelStep = 0.8;     // view scale per wheel notch

constexpr const char* kTimeAxisTitle = "Time (s)";
constexpr const char* kFrameAxisTitle = "Frame";
constexpr const char* kGapText = "gap";
constexpr const char* kMoreFormat = "%d more";
constexpr const char* kRightAxisSuffix = " (right axis)";
// The value axis never narrows below this share of its values' size.
constexpr double kMinimumValueSpan = 1e-9;

// Curve colours, distinct on white and in the legend; beyond these, hues a
// golden angle apart at alternating lightness.
const QColor kColours[] = {QColor(31, 119, 180),  QColor(214, 39, 40),   QColor(44, 160, 44),
                           QColor(255, 127, 14),  QColor(148, 103, 189), QColor(140, 86, 75),
                           QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34),
                           QColor(23, 190, 207)};
constexpr int kColourCount = static_cast<int>(sizeof kColours / sizeof kColours[0]);
const QColor kBandColour(255, 214, 102, 55);
const QColor kBandEdgeColour(230, 170, 40);
const QColor kGridColour(228, 228, 228);
const QColor kZoomColour(60, 60, 60);
const QColor kRangeColour(200, 140, 0);
const QColor kCursorColour(200, 30, 30);
constexpr double kCursorReach = 4.0;  // pixels: a press this near drags the cursor

QColor SeriesColour(std::size_t n) {
  if (n < static_cast<std::size_t>(kColourCount)) return kColours[n];
  const double hue = std::fmod(static_cast<double>(n) * 137.508, 360.0);
  const int value = n % 2 == 0 ? 200 : 150;
  return QColor::fromHsv(static_cast<int>(hue), 210, value);
}

// Round tick positions 1, 2 or 5 times a power of ten apart, at most about
// `wanted` of them between lo and hi.
std::vector<double> Ticks(double lo, double hi, int wanted) {
  std::vector<double> ticks;
  const double span = hi - lo;
  if (!(span > 0.0) || wanted < 1 || !std::isfinite(span)) return ticks;
  const double raw = span / wanted;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10.0 * magnitude;
  for (double m : {1.0, 2.0, 5.0}) {
    if (m * magnitude >= raw) {
      step = m * magnitude;
      break;
    }
  }
  for (double t = std::ceil(lo / step) * step; t <= hi + step * 1e-9; t += step) {
    ticks.push_back(std::fabs(t) < step * 1e-9 ? 0.0 : t);
  }
  return ticks;
}

}  // namespace

CSignalPlot::CSignalPlot(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setMinimumSize(200, 120);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
}

void CSignalPlot::SetSeries(std::vector<CPlotSeries> series, double frameRate, int firstFrame,
                            int frameCount) {
  m_series = std::move(series);
  m_frameRate = frameRate;
  m_firstFrame = firstFrame;
  m_frameCount = std::max(frameCount, 0);
  const auto isPoint = [](const CPlotSeries& s) { return s.point; };
  m_twoAxes = std::any_of(m_series.begin(), m_series.end(), isPoint) &&
              !std::all_of(m_series.begin(), m_series.end(), isPoint);
  m_envelopesValid = false;
  ShowAll();
}

void CSignalPlot::SetCursorFrame(int frame) {
  if (frame == m_cursorFrame) return;
  m_cursorFrame = frame;
  update();
}

void CSignalPlot::SetEvents(std::vector<CEventMark> marks) {
  m_marks = std::move(marks);
  update();
}

int CSignalPlot::FrameAtPixel(double px) const {
  const double last = std::max(m_frameCount - 1, 0);
  return m_firstFrame + static_cast<int>(std::clamp(std::floor(PositionAt(px)), 0.0, last));
}

const std::vector<std::vector<CEnvelopeColumn>>& CSignalPlot::Envelopes(int columns) {
  if (!m_envelopesValid || m_envX0 != m_x0 || m_envX1 != m_x1 || m_envColumns != columns) {
    m_envelopes.clear();
    m_envelopes.reserve(m_series.size());
    for (const CPlotSeries& s : m_series) {
      m_envelopes.push_back(ComputeEnvelope(s, m_x0, m_x1, columns));
    }
    m_envX0 = m_x0;
    m_envX1 = m_x1;
    m_envColumns = columns;
    m_envelopesValid = true;
  }
  return m_envelopes;
}

void CSignalPlot::SetFrameRange(int first, int last) {
  m_rangeFirst = first;
  m_rangeLast = last;
  update();
}

void CSignalPlot::SetViewX(double x0, double x1) {
  if (x1 - x0 < kMinimumSpan) {
    const double mid = (x0 + x1) / 2;
    x0 = mid - kMinimumSpan / 2;
    x1 = mid + kMinimumSpan / 2;
  }
  m_x0 = x0;
  m_x1 = x1;
  update();
}

void CSignalPlot::ShowAll() {
  m_valuesFixed = false;
  // A frame's samples lie in [i, i + 1): the last frame ends at the count.
  SetViewX(0.0, std::max(1, m_frameCount));
}

QRect CSignalPlot::PlotArea() const {
  const int right = m_twoAxes ? kLeftMargin : kRightMargin;
  // The units line above the curves, where no legend covers it.
  const int top = kTopMargin + fontMetrics().height();
  return QRect(kLeftMargin, top, std::max(1, width() - kLeftMargin - right),
               std::max(1, height() - top - kBottomMargin));
}

double CSignalPlot::PixelOf(double x) const {
  const QRect area = PlotArea();
  return area.left() + (x - m_x0) / (m_x1 - m_x0) * area.width();
}

double CSignalPlot::PositionAt(double px) const {
  const QRect area = PlotArea();
  return m_x0 + (px - area.left()) / area.width() * (m_x1 - m_x0);
}

double CSignalPlot::ValuePixel(double v, int axis) const {
  const QRect area = PlotArea();
  return area.bottom() + 1 - (v - m_lo[axis]) / (m_hi[axis] - m_lo[axis]) * area.height();
}

double CSignalPlot::ValueAt(double py, int axis) const {
  const QRect area = PlotArea();
  return m_lo[axis] + (area.bottom() + 1 - py) / area.height() * (m_hi[axis] - m_lo[axis]);
}

void CSignalPlot::ShowValuesBetween(double bottom, double top) {
  double lo[2], hi[2];
  for (int a = 0; a < 2; ++a) {
    lo[a] = ValueAt(bottom, a);
    hi[a] = ValueAt(top, a);
    // Closer than this the values could no longer be told apart.
    if (hi[a] - lo[a] <= kMinimumValueSpan * std::max({1.0, std::fabs(lo[a]), std::fabs(hi[a])})) {
      return;
    }
  }
  for (int a = 0; a < 2; ++a) {
    m_lo[a] = lo[a];
    m_hi[a] = hi[a];
  }
  m_valuesFixed = true;
}

QString CSignalPlot::TimeText(double x) const {
  const long long frame = m_firstFrame + static_cast<long long>(std::floor(x));
  if (m_frameRate > 0.0) {
    return QString::asprintf("%.4f s, frame %lld", x / m_frameRate, frame);
  }
  return QString::asprintf("frame %lld", frame);
}

QString CSignalPlot::ValuesAt(double px) const {
  const double x = PositionAt(px);
  QString text = TimeText(x);
  for (const CPlotSeries& s : m_series) {
    if (s.count == 0) continue;
    const std::size_t i = s.Nearest(x);
    text += '\n' + ToQ(s.name) + ": ";
    text += s.Valid(i) ? QString::number(s.Value(i), 'g', 6) : QString(kGapText);
  }
  return text;
}

void CSignalPlot::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  const QRect area = PlotArea();

  const std::vector<std::vector<CEnvelopeColumn>>& envelopes = Envelopes(area.width());
  for (int axis = 0; axis < 2 && !m_valuesFixed; ++axis) {
    bool any = false;
    double lo = 0.0, hi = 0.0;
    for (std::size_t n = 0; n < envelopes.size(); ++n) {
      if (AxisOf(n) != axis) continue;
      for (const CEnvelopeColumn& c : envelopes[n]) {
        if (!c.valid) continue;
        lo = any ? std::min<double>(lo, c.lo) : c.lo;
        hi = any ? std::max<double>(hi, c.hi) : c.hi;
        any = true;
      }
    }
    if (!any) {
      lo = -1.0;
      hi = 1.0;
    }
    const double pad = hi > lo ? (hi - lo) * 0.05 : std::max(std::fabs(lo) * 0.05, 1.0);
    m_lo[axis] = lo - pad;
    m_hi[axis] = hi + pad;
  }

  // The document's frame range behind everything else.
  const double b0 = std::max<double>(PixelOf(m_rangeFirst - m_firstFrame), area.left());
  const double b1 = std::min<double>(PixelOf(m_rangeLast - m_firstFrame + 1), area.right() + 1);
  if (m_rangeLast >= m_rangeFirst && b1 > b0) {
    p.fillRect(QRectF(b0, area.top(), b1 - b0, area.height()), kBandColour);
    p.setPen(QPen(kBandEdgeColour, 0));
    p.drawLine(QPointF(b0, area.top()), QPointF(b0, area.bottom()));
    p.drawLine(QPointF(b1 - 1, area.top()), QPointF(b1 - 1, area.bottom()));
  }
  DrawAxes(p, area);

  p.save();
  p.setClipRect(area);
  for (std::size_t n = 0; n < m_series.size(); ++n) {
    const CPlotSeries& s = m_series[n];
    const int axis = AxisOf(n);
    const QColor& colour = SeriesColour(n);
    p.setPen(QPen(colour, 0));
    // Fewer samples than columns would leave columns without a sample,
    // drawn as gaps: a line through the samples instead.
    const double visible = (m_x1 - m_x0) * s.samplesPerFrame;
    if (visible < area.width()) {
      DrawCurve(p, s, axis);
      continue;
    }
    // One vertical stroke per column from its lowest to its highest value,
    // joined to the column before where the two do not overlap.
    const auto& env = envelopes[n];
    QVector<QLineF> lines;
    lines.reserve(static_cast<int>(env.size()) * 2);
    for (std::size_t c = 0; c < env.size(); ++c) {
      if (!env[c].valid) continue;
      const double px = area.left() + static_cast<double>(c) + 0.5;
      const double yHi = ValuePixel(env[c].hi, axis);
      double yLo = ValuePixel(env[c].lo, axis);
      if (yLo - yHi < 1.0) yLo = yHi + 1.0;
      lines.append(QLineF(px, yHi, px, yLo));
      if (c == 0 || !env[c - 1].valid) continue;
      const CEnvelopeColumn& before = env[c - 1];
      if (before.hi < env[c].lo) {
        lines.append(QLineF(px - 1.0, ValuePixel(before.hi, axis), px, yLo));
      } else if (before.lo > env[c].hi) {
        lines.append(QLineF(px - 1.0, ValuePixel(before.lo, axis), px, yHi));
      }
    }
    p.drawLines(lines);
  }
  p.restore();

  if (m_drag == Drag::Zoom || m_drag == Drag::Range) {
    const QRectF band = QRectF(m_dragStart, m_dragNow).normalized();
    if (m_drag == Drag::Range) {
      p.fillRect(QRectF(band.left(), area.top(), band.width(), area.height()),
                 QColor(kRangeColour.red(), kRangeColour.green(), kRangeColour.blue(), 60));
    } else {
      p.setPen(QPen(kZoomColour, 0, Qt::DashLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(band);
    }
  }
  DrawEvents(p, area);
  if (m_frameCount > 0 && m_cursorFrame >= m_firstFrame &&
      m_cursorFrame < m_firstFrame + m_frameCount) {
    const double x = PixelOf(m_cursorFrame - m_firstFrame);
    if (x >= area.left() && x <= area.right() + 1) {
      p.setPen(QPen(kCursorColour, 1.5));
      p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
  }
  DrawLegend(p, area);
  if (m_cursorX >= area.left() && m_cursorX <= area.right() && !m_series.empty()) {
    p.setPen(QPen(QColor(90, 90, 90), 0, Qt::DotLine));
    p.drawLine(QPointF(m_cursorX, area.top()), QPointF(m_cursorX, area.bottom()));
    const QString text = ValuesAt(m_cursorX);
    const QRect box = p.fontMetrics()
                          .boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft, text)
                          .translated(area.left() + 6, area.top() + 4)
                          .adjusted(-3, -2, 3, 2);
    p.fillRect(box, QColor(255, 255, 255, 220));
    p.setPen(palette().color(QPalette::Text));
    p.drawText(box.adjusted(3, 2, -3, -2), Qt::AlignLeft, text);
  }
}

void CSignalPlot::DrawCurve(QPainter& p, const CPlotSeries& s, int axis) const {
  // Few samples in view: a line through each of them, broken at gaps.
  if (s.count == 0) return;
  const double spf = s.samplesPerFrame;
  const double first = std::max(0.0, std::floor(m_x0 * spf) - 1);
  const double last = std::min(static_cast<double>(s.count) - 1, std::ceil(m_x1 * spf) + 1);
  QPolygonF run;
  auto flush = [&] {
    if (run.size() == 1) p.drawPoint(run.front());
    if (run.size() > 1) p.drawPolyline(run);
    run.clear();
  };
  for (double d = first; d <= last; ++d) {
    const auto i = static_cast<std::size_t>(d);
    if (!s.Valid(i)) {
      flush();
      continue;
    }
    run.append(QPointF(PixelOf(s.X(i)), ValuePixel(s.Value(i), axis)));
  }
  flush();
}

QString CSignalPlot::AxisUnit(int axis) const {
  std::vector<std::string> units;
  for (std::size_t n = 0; n < m_series.size(); ++n) {
    const std::string& unit = m_series[n].unit;
    if (AxisOf(n) != axis || unit.empty()) continue;
    if (std::find(units.begin(), units.end(), unit) == units.end()) units.push_back(unit);
  }
  QStringList texts;
  for (const std::string& u : units) texts << ToQ(u);
  return texts.join(", ");
}

void CSignalPlot::DrawAxes(QPainter& p, const QRect& area) const {
  const QColor text = palette().color(QPalette::Text);
  const QFontMetrics fm = p.fontMetrics();
  // Value axes: the grid follows the left one.
  const int wanted = std::max(2, area.height() / 40);
  const std::vector<double> leftTicks = Ticks(m_lo[0], m_hi[0], wanted);
  const std::vector<double> rightTicks =
      m_twoAxes ? Ticks(m_lo[1], m_hi[1], wanted) : std::vector<double>();
  const auto stepOf = [](const std::vector<double>& t) { return t.size() > 1 ? t[1] - t[0] : 0.0; };
  const double valueStep[2] = {stepOf(leftTicks), stepOf(rightTicks)};
  for (double v : leftTicks) {
    const double y = ValuePixel(v);
    p.setPen(kGridColour);
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    p.setPen(text);
    const QString label = ToQ(TickLabel(v, valueStep[0]));
    p.drawText(QRectF(0, y - fm.height() / 2.0, kLeftMargin - 6, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, label);
  }
  for (double v : rightTicks) {
    const double y = ValuePixel(v, 1);
    p.setPen(text);
    p.drawLine(QPointF(area.right() + 1, y), QPointF(area.right() + 4, y));
    p.drawText(QRectF(area.right() + 7, y - fm.height() / 2.0, kLeftMargin - 7, fm.height()),
               Qt::AlignLeft | Qt::AlignVCenter, ToQ(TickLabel(v, valueStep[1])));
  }
  // Time axis, in seconds when the rate is known, else in frame numbers.
  const double scale = m_frameRate > 0.0 ? 1.0 / m_frameRate : 1.0;
  const double shift = m_frameRate > 0.0 ? 0.0 : m_firstFrame;
  const std::vector<double> timeTicks =
      Ticks(m_x0 * scale + shift, m_x1 * scale + shift, std::max(2, area.width() / 90));
  for (double t : timeTicks) {
    const double x = PixelOf((t - shift) / scale);
    p.setPen(kGridColour);
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    p.setPen(text);
    p.drawText(QRectF(x - 40, area.bottom() + 3, 80, fm.height()), Qt::AlignHCenter,
               ToQ(TickLabel(t, stepOf(timeTicks))));
  }
  p.drawText(QRect(area.left(), area.bottom() + 3 + fm.height(), area.width(), fm.height()),
             Qt::AlignHCenter, m_frameRate > 0.0 ? kTimeAxisTitle : kFrameAxisTitle);
  // Each value axis names its unit at its top, where its series agree on one.
  for (int axis = 0; axis < (m_twoAxes ? 2 : 1); ++axis) {
    const QString unit = AxisUnit(axis);
    if (unit.isEmpty()) continue;
    p.setPen(text);
    // Over its own axis's labels, reaching in towards the other one.
    const int wide = width() / 2;
    const QRect box = axis == 0 ? QRect(4, area.top() - fm.height() - 2, wide, fm.height())
                                : QRect(width() - wide - 4, area.top() - fm.height() - 2, wide,
                                        fm.height());
    p.drawText(box, axis == 0 ? Qt::AlignLeft : Qt::AlignRight, unit);
  }
  p.setPen(QColor(160, 160, 160));
  p.setBrush(Qt::NoBrush);
  p.drawRect(area.adjusted(0, 0, -1, -1));
}

void CSignalPlot::DrawEvents(QPainter& p, const QRect& area) const {
  const QFontMetrics fm = p.fontMetrics();
  p.save();
  p.setClipRect(area);
  double freeFrom = -1e9;
  for (const CEventMark& m : m_marks) {
    const double x = PixelOf(m.frame - m_firstFrame);
    if (x < area.left() || x > area.right() + 1) continue;
    const QColor colour = EventColour(m.side);
    p.setPen(QPen(colour, 1, Qt::DashLine));
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    const int w = fm.horizontalAdvance(m.label);
    if (x + 2 >= freeFrom) {
      p.setPen(colour);
      p.drawText(QRectF(x + 2, area.bottom() - fm.height() - 2, w + 2, fm.height()), Qt::AlignLeft,
                 m.label);
      freeFrom = x + w + 8;
    }
  }
  p.restore();
}

void CSignalPlot::DrawLegend(QPainter& p, const QRect& area) const {
  if (m_series.empty()) return;
  const QFontMetrics fm = p.fontMetrics();
  constexpr int kSwatch = 16;
  const auto label = [&](std::size_t n) {
    const QString name = ToQ(m_series[n].name);
    return AxisOf(n) == 1 ? name + kRightAxisSuffix : name;
  };
  int widest = 0;
  for (std::size_t n = 0; n < m_series.size(); ++n) {
    widest = std::max(widest, fm.horizontalAdvance(label(n)));
  }
  const int count = static_cast<int>(m_series.size());
  const int lineHeight = fm.height();
  // As many rows as the plot is tall; the last one then counts the rest.
  const int fit = std::max(1, (area.height() - 10) / lineHeight);
  const int rows = std::min(count, fit);
  const int named = rows < count ? rows - 1 : rows;
  const QRect box(area.right() - widest - kSwatch - 16, area.top() + 4, widest + kSwatch + 12,
                  rows * lineHeight + 6);
  p.fillRect(box, QColor(255, 255, 255, 220));
  p.setPen(QColor(190, 190, 190));
  p.drawRect(box);
  if (named < rows) {
    p.setPen(palette().color(QPalette::Text));
    p.drawText(
        QRect(box.left() + 8 + kSwatch, box.top() + 3 + named * lineHeight, widest + 4, lineHeight),
        Qt::AlignVCenter, QString::asprintf(kMoreFormat, count - named));
  }
  for (int n = 0; n < named; ++n) {
    const int y = box.top() + 3 + n * lineHeight;
    p.setPen(QPen(SeriesColour(static_cast<std::size_t>(n)), 2));
    p.drawLine(box.left() + 4, y + lineHeight / 2, box.left() + 4 + kSwatch, y + lineHeight / 2);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(box.left() + 8 + kSwatch, y, widest + 4, lineHeight), Qt::AlignVCenter,
               label(static_cast<std::size_t>(n)));
  }
}

void CSignalPlot::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0.0) return;
  const double factor = std::pow(kWheelStep, notches);
  const QPointF at = event->position();
  if (event->modifiers() & Qt::ControlModifier) {
    // The value under the cursor stays where it is.
    const double bottom = PlotArea().bottom() + 1;
    ShowValuesBetween(at.y() + (bottom - at.y()) * factor,
                      at.y() - (at.y() - PlotArea().top()) * factor);
    update();
  } else {
    const double x = PositionAt(at.x());
    SetViewX(x - (x - m_x0) * factor, x + (m_x1 - x) * factor);
  }
  event->accept();
}

void CSignalPlot::mousePressEvent(QMouseEvent* event) {
  m_dragStart = m_dragNow = event->position();
  const bool hasCursor = m_frameCount > 0 && m_cursorFrame >= m_firstFrame;
  if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier) && hasCursor &&
      std::fabs(PixelOf(m_cursorFrame - m_firstFrame) - event->position().x()) <= kCursorReach) {
    m_drag = Drag::Cursor;
  } else if (event->button() == Qt::LeftButton) {
    m_drag = (event->modifiers() & Qt::ShiftModifier) ? Drag::Range : Drag::Zoom;
  } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
    m_drag = Drag::Pan;
    m_panX0 = m_x0;
    m_panX1 = m_x1;
    for (int a = 0; a < 2; ++a) {
      m_panLo[a] = m_lo[a];
      m_panHi[a] = m_hi[a];
    }
  }
  event->accept();
}

void CSignalPlot::mouseMoveEvent(QMouseEvent* event) {
  m_cursorX = event->position().x();
  m_dragNow = event->position();
  if (m_drag == Drag::Cursor) {
    const int frame = FrameAtPixel(m_dragNow.x());
    if (frame != m_cursorFrame) emit CursorMoved(frame);
  } else if (m_drag == Drag::Pan) {
    const QRect area = PlotArea();
    const double dx = (m_dragStart.x() - m_dragNow.x()) / area.width() * (m_panX1 - m_panX0);
    m_x0 = m_panX0 + dx;
    m_x1 = m_panX1 + dx;
    for (int a = 0; a < 2 && m_valuesFixed; ++a) {
      const double dy =
          (m_dragNow.y() - m_dragStart.y()) / area.height() * (m_panHi[a] - m_panLo[a]);
      m_lo[a] = m_panLo[a] + dy;
      m_hi[a] = m_panHi[a] + dy;
    }
  }
  update();
}

void CSignalPlot::mouseReleaseEvent(QMouseEvent* event) {
  const Drag drag = m_drag;
  m_drag = Drag::None;
  m_dragNow = event->position();
  const double left = std::min(m_dragStart.x(), m_dragNow.x());
  const double right = std::max(m_dragStart.x(), m_dragNow.x());
  const bool wide = right - left > kDragThreshold;
  if (drag == Drag::Zoom && wide) {
    const double top = std::min(m_dragStart.y(), m_dragNow.y());
    const double bottom = std::max(m_dragStart.y(), m_dragNow.y());
    if (bottom - top > kDragThreshold) ShowValuesBetween(bottom, top);
    SetViewX(PositionAt(left), PositionAt(right));
  } else if (drag == Drag::Zoom && !wide && m_frameCount > 0) {
    // A click: to an event's tick when it is on one, else to the frame there.
    const int hit = EventNear(m_marks, m_dragNow.x(),
                              [this](int frame) { return PixelOf(frame - m_firstFrame); });
    emit CursorMoved(hit >= 0 ? std::clamp(m_marks[static_cast<std::size_t>(hit)].frame, m_firstFrame,
                                           m_firstFrame + m_frameCount - 1)
                              : FrameAtPixel(m_dragNow.x()));
  } else if (drag == Drag::Pan && (m_dragNow - m_dragStart).manhattanLength() <= kDragThreshold &&
             event->button() == Qt::RightButton) {
    ShowPictureMenu(this, event->globalPosition().toPoint(), m_pictureName);
  } else if (drag == Drag::Range && wide && m_frameCount > 0) {
    // A frame's samples lie in [i, i + 1): the frames touched by the drag.
    const double last = m_frameCount - 1;
    const double i0 = std::clamp(std::floor(PositionAt(left)), 0.0, last);
    const double i1 = std::clamp(std::floor(PositionAt(right)), 0.0, last);
    emit FrameRangeChosen(m_firstFrame + static_cast<long long>(i0),
                          m_firstFrame + static_cast<long long>(i1));
  }
  update();
  event->accept();
}

void CSignalPlot::mouseDoubleClickEvent(QMouseEvent* event) {
  ShowAll();
  event->accept();
}

void CSignalPlot::leaveEvent(QEvent*) {
  m_cursorX = -1.0;
  update();
}
