#include "gui/TimeBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "gui/FrameCursor.h"

namespace {

constexpr int kTrackMargin = 8;
constexpr const char* kPlayTip = "Play or pause (Space)";
constexpr const char* kBackTip = "One frame back (Left)";
constexpr const char* kOnTip = "One frame on (Right)";
constexpr const char* kLoopText = "Loop";
constexpr const char* kLoopTip = "Play the frame range over and over";
constexpr const char* kSpeedTip = "Playback speed";
constexpr const char* kFrameFormat = "Frame %1  %2 s";
constexpr double kSpeeds[] = {0.25, 0.5, 1.0, 2.0, 4.0};

const QColor kTrackColour(236, 236, 236);
const QColor kRangeColour(255, 214, 102, 120);
const QColor kCursorColour(200, 30, 30);

}  // namespace

bool HandlePlaybackKey(CFrameCursor& cursor, int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) return false;
  const int step = (modifiers & Qt::ShiftModifier) ? 10 : 1;
  switch (key) {
    case Qt::Key_Space:
      cursor.TogglePlaying();
      return true;
    case Qt::Key_Left:
      cursor.Step(-step);
      return true;
    case Qt::Key_Right:
      cursor.Step(step);
      return true;
    case Qt::Key_Home:
      cursor.SetFrame(cursor.Clock().RangeFirst());
      return true;
    case Qt::Key_End:
      cursor.SetFrame(cursor.Clock().RangeLast());
      return true;
    default:
      return false;
  }
}

CTimeTrack::CTimeTrack(CFrameCursor* cursor, QWidget* parent) : QWidget(parent), m_cursor(cursor) {
  setMinimumHeight(40);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setFocusPolicy(Qt::NoFocus);
  connect(cursor, &CFrameCursor::FrameChanged, this, qOverload<>(&QWidget::update));
  connect(cursor, &CFrameCursor::RangeChanged, this, qOverload<>(&QWidget::update));
}

QSize CTimeTrack::sizeHint() const {
  return {400, fontMetrics().height() * 2 + 16};
}

void CTimeTrack::SetEvents(std::vector<CEventMark> marks) {
  m_marks = std::move(marks);
  update();
}

double CTimeTrack::PixelOf(int frame) const {
  const CPlaybackClock& c = m_cursor->Clock();
  const double span = std::max(1, c.LastFrame() - c.FirstFrame());
  return kTrackMargin + (frame - c.FirstFrame()) / span * (width() - 2 * kTrackMargin);
}

int CTimeTrack::FrameAt(double px) const {
  const CPlaybackClock& c = m_cursor->Clock();
  const double span = std::max(1, c.LastFrame() - c.FirstFrame());
  const double f = c.FirstFrame() + (px - kTrackMargin) / std::max(1, width() - 2 * kTrackMargin) * span;
  return static_cast<int>(std::clamp(std::lround(f), static_cast<long>(c.FirstFrame()),
                                     static_cast<long>(c.LastFrame())));
}

void CTimeTrack::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  const QFontMetrics fm = p.fontMetrics();
  const int labelRow = fm.height();
  const QRectF track(kTrackMargin, labelRow + 2, width() - 2 * kTrackMargin, height() - labelRow - 6);
  p.fillRect(track, kTrackColour);
  const CPlaybackClock& c = m_cursor->Clock();
  const double r0 = PixelOf(c.RangeFirst());
  const double r1 = PixelOf(c.RangeLast());
  p.fillRect(QRectF(r0, track.top(), std::max(1.0, r1 - r0), track.height()), kRangeColour);
  p.setPen(QColor(170, 170, 170));
  p.drawRect(track);

  // Event ticks, their labels above them where they do not overlap.
  double freeFrom = -1e9;
  for (const CEventMark& m : m_marks) {
    const double x = PixelOf(m.frame);
    const QColor colour = EventColour(m.side);
    p.setPen(QPen(colour, 2));
    p.drawLine(QPointF(x, track.top()), QPointF(x, track.bottom()));
    const int w = fm.horizontalAdvance(m.label);
    if (x - w / 2.0 >= freeFrom) {
      p.drawText(QRectF(x - w / 2.0, 0, w, labelRow), Qt::AlignCenter, m.label);
      freeFrom = x + w / 2.0 + 4;
    }
  }
  const double x = PixelOf(c.Frame());
  p.setPen(QPen(kCursorColour, 2));
  p.drawLine(QPointF(x, track.top() - 2), QPointF(x, track.bottom() + 2));
}

void CTimeTrack::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int hit = EventNear(m_marks, event->position().x(), [this](int f) { return PixelOf(f); });
  m_cursor->SetPlaying(false);
  if (hit >= 0) {
    m_cursor->SetFrame(m_marks[static_cast<std::size_t>(hit)].frame);
    return;
  }
  m_dragging = true;
  m_cursor->SetFrame(FrameAt(event->position().x()));
}

void CTimeTrack::mouseMoveEvent(QMouseEvent* event) {
  if (m_dragging) m_cursor->SetFrame(FrameAt(event->position().x()));
}

void CTimeTrack::mouseReleaseEvent(QMouseEvent*) {
  m_dragging = false;
}

CTimeBar::CTimeBar(CFrameCursor* cursor, QWidget* parent) : QWidget(parent), m_cursor(cursor) {
  auto make = [this](QStyle::StandardPixmap icon, const char* tip) {
    auto* b = new QToolButton(this);
    b->setIcon(style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
  };
  m_back = make(QStyle::SP_MediaSeekBackward, kBackTip);
  m_play = make(QStyle::SP_MediaPlay, kPlayTip);
  m_on = make(QStyle::SP_MediaSeekForward, kOnTip);
  m_speed = new QComboBox(this);
  m_speed->setToolTip(kSpeedTip);
  for (const double s : kSpeeds) m_speed->addItem(QString::number(s) + QChar(0x00D7), s);
  m_speed->setCurrentIndex(2);
  m_loop = new QCheckBox(kLoopText, this);
  m_loop->setToolTip(kLoopTip);
  m_loop->setChecked(cursor->Clock().Loop());
  m_frameText = new QLabel(this);
  m_frameText->setMinimumWidth(fontMetrics().horizontalAdvance("Frame 0000000  00000.000 s"));
  m_track = new CTimeTrack(cursor, this);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(m_back);
  layout->addWidget(m_play);
  layout->addWidget(m_on);
  layout->addWidget(m_speed);
  layout->addWidget(m_loop);
  layout->addWidget(m_frameText);
  layout->addWidget(m_track, 1);
  setFocusPolicy(Qt::ClickFocus);

  connect(m_play, &QToolButton::clicked, cursor, &CFrameCursor::TogglePlaying);
  connect(m_back, &QToolButton::clicked, cursor, [cursor] { cursor->Step(-1); });
  connect(m_on, &QToolButton::clicked, cursor, [cursor] { cursor->Step(1); });
  connect(m_speed, &QComboBox::currentIndexChanged, this,
          [this](int) { m_cursor->SetSpeed(m_speed->currentData().toDouble()); });
  connect(m_loop, &QCheckBox::toggled, cursor, &CFrameCursor::SetLoop);
  connect(cursor, &CFrameCursor::PlayingChanged, this, [this](bool playing) {
    m_play->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
  });
  connect(cursor, &CFrameCursor::FrameChanged, this, &CTimeBar::ShowFrame);
  ShowFrame(cursor->Frame());
}

void CTimeBar::ShowFrame(int frame) {
  const CPlaybackClock& c = m_cursor->Clock();
  const double t = (frame - c.FirstFrame()) / c.FrameRate();
  m_frameText->setText(QString(kFrameFormat).arg(frame).arg(t, 0, 'f', 3));
}

void CTimeBar::keyPressEvent(QKeyEvent* event) {
  if (!HandlePlaybackKey(*m_cursor, event->key(), event->modifiers())) QWidget::keyPressEvent(event);
}
