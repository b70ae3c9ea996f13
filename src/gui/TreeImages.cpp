#include "gui/TreeImages.h"

#include <QIconEngine>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <array>

#include "documents/TreeItems.h"

namespace {

void DrawBox(QPainter& p, const QColor& fill) {
  p.setPen(QColor(64, 64, 64));
  p.setBrush(fill);
  p.drawRect(QRectF(2.5, 2.5, 11, 11));
}

void DrawTick(QPainter& p) {
  QPen pen(QColor(0, 0, 0));
  pen.setWidthF(2.0);
  pen.setCapStyle(Qt::SquareCap);
  pen.setJoinStyle(Qt::MiterJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  QPainterPath tick;
  tick.moveTo(5, 8);
  tick.lineTo(7, 10.5);
  tick.lineTo(11, 5);
  p.drawPath(tick);
}

void DrawPage(QPainter& p) {
  QPainterPath page;
  page.moveTo(3.5, 1.5);
  page.lineTo(10, 1.5);
  page.lineTo(12.5, 4);
  page.lineTo(12.5, 14.5);
  page.lineTo(3.5, 14.5);
  page.closeSubpath();
  p.setPen(QColor(64, 64, 64));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawLine(QPointF(10, 1.5), QPointF(10, 4));
  p.drawLine(QPointF(10, 4), QPointF(12.5, 4));
  p.setPen(QColor(96, 96, 160));
  for (int y = 6; y <= 12; y += 2) p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
}

QPixmap Draw(int image, qreal ratio) {
  // Drawn in device-independent coordinates onto a pixmap of the device's
  // resolution; a 16-pixel picture scaled up afterwards blurs at 150 % and
  // shows blocks at 200 %.
  const int side = qRound(kTreeImageSize * ratio);
  QPixmap pixmap(side, side);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  switch (image) {
    case kImageUnchecked:
      DrawBox(p, Qt::white);
      break;
    case kImageChecked:
      DrawBox(p, Qt::white);
      DrawTick(p);
      break;
    case kImagePartial:
      // A mid grey that still tells apart from white at 16 pixels.
      DrawBox(p, QColor(168, 168, 168));
      DrawTick(p);
      break;
    default:
      DrawPage(p);
      break;
  }
  return pixmap;
}

// Draws the picture afresh for each ratio it is asked for, and keeps the
// last one (a tree paints many rows at the same ratio).
class CTreeImageEngine : public QIconEngine {
 public:
  explicit CTreeImageEngine(int image) : m_image(image) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(rect, Pixmap(ratio * rect.width() / kTreeImageSize));
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    // QIcon asks for device pixels (its size times the ratio) and sets the
    // ratio on what it gets itself.
    QPixmap pm = Pixmap(static_cast<qreal>(size.width()) / kTreeImageSize);
    pm.setDevicePixelRatio(1.0);
    return pm;
  }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
  QIconEngine* clone() const override { return new CTreeImageEngine(m_image); }

 private:
  QPixmap Pixmap(qreal ratio) {
    if (ratio <= 0) ratio = 1.0;
    if (m_cached.isNull() || m_cached.devicePixelRatio() != ratio) m_cached = Draw(m_image, ratio);
    return m_cached;
  }

  int m_image;
  QPixmap m_cached;
};

}  // namespace

QPixmap TreeImagePixmap(int image, qreal ratio) {
  return Draw(image, ratio > 0 ? ratio : 1.0);
}

const QIcon& TreeImageIcon(int image) {
  static const std::array<QIcon, kTreeImageCount> icons = [] {
    std::array<QIcon, kTreeImageCount> made;
    for (int i = 0; i < kTreeImageCount; ++i) {
      made[static_cast<std::size_t>(i)] = QIcon(new CTreeImageEngine(i));
    }
    return made;
  }();
  if (image < 0 || image >= kTreeImageCount) image = kImageUnchecked;
  return icons[static_cast<std::size_t>(image)];
}
