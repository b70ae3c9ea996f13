#include "gui/TreeImages.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

#include "documents/TreeItems.h"

namespace {

constexpr int kSize = 16;

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

QPixmap Draw(int image) {
  QPixmap pixmap(kSize, kSize);
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

}  // namespace

QPixmap TreeImagePixmap(int image) {
  return Draw(image);
}

const QIcon& TreeImageIcon(int image) {
  static const std::array<QIcon, kTreeImageCount> icons = [] {
    std::array<QIcon, kTreeImageCount> made;
    for (int i = 0; i < kTreeImageCount; ++i) {
      const QPixmap pm = Draw(i);
      made[static_cast<std::size_t>(i)].addPixmap(pm, QIcon::Normal);
      made[static_cast<std::size_t>(i)].addPixmap(pm, QIcon::Selected);
    }
    return made;
  }();
  if (image < 0 || image >= kTreeImageCount) image = kImageUnchecked;
  return icons[static_cast<std::size_t>(image)];
}
