#include "gui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

// Draws `paint` on a 16 x 16 grid into pixmaps of the usual sizes.
QIcon MakeIcon(const std::function<void(QPainter&)>& paint) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 16.0, size / 16.0);
    paint(p);
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

void Page(QPainter& p) {
  QPainterPath page;
  page.moveTo(3.5, 1.5);
  page.lineTo(9.5, 1.5);
  page.lineTo(12.5, 4.5);
  page.lineTo(12.5, 14.5);
  page.lineTo(3.5, 14.5);
  page.closeSubpath();
  p.setPen(QPen(QColor(70, 70, 70), 1));
  p.setBrush(Qt::white);
  p.drawPath(page);
}

void Floppy(QPainter& p) {
  p.setPen(QPen(QColor(20, 40, 90), 1));
  p.setBrush(QColor(60, 100, 180));
  p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4, 1.5, 8, 5));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRectF(4, 9.5, 8, 5));
}

}  // namespace

const QIcon& AppIcon() {
  static const QIcon icon = MakeIcon([](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 150));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QPen pen(QColor(255, 210, 60), 1.6);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    QPainterPath wave;
    wave.moveTo(2, 9);
    wave.lineTo(5, 9);
    wave.lineTo(6.5, 4);
    wave.lineTo(8.5, 13);
    wave.lineTo(10, 7);
    wave.lineTo(11, 9);
    wave.lineTo(14, 9);
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
  });
  return icon;
}

QIcon ToolIcon(ToolPicture picture) {
  switch (picture) {
    case ToolPicture::Open:
      return MakeIcon([](QPainter& p) {
        p.setPen(QPen(QColor(120, 90, 20), 1));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(1.5, 4.5, 12, 9));
        p.drawRect(QRectF(1.5, 3, 5, 1.5));
        QPainterPath flap;
        flap.moveTo(1.5, 13.5);
        flap.lineTo(4, 7.5);
        flap.lineTo(15, 7.5);
        flap.lineTo(13.5, 13.5);
        flap.closeSubpath();
        p.setBrush(QColor(250, 225, 130));
        p.drawPath(flap);
      });
    case ToolPicture::Save:
      return MakeIcon(Floppy);
    case ToolPicture::SaveAs:
      return MakeIcon([](QPainter& p) {
        Floppy(p);
        QPen pen(QColor(200, 60, 30), 2);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(9, 13), QPointF(14.5, 7.5));
      });
    case ToolPicture::Close:
      return MakeIcon([](QPainter& p) {
        Page(p);
        QPen pen(QColor(190, 30, 30), 2);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(5.5, 6.5), QPointF(10.5, 11.5));
        p.drawLine(QPointF(10.5, 6.5), QPointF(5.5, 11.5));
      });
    case ToolPicture::About:
      return MakeIcon([](QPainter& p) {
        p.setPen(QPen(QColor(20, 60, 140), 1));
        p.setBrush(QColor(70, 130, 210));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(7, 3.5, 2, 2));
        p.drawRect(QRectF(7, 6.5, 2, 6));
      });
    case ToolPicture::Help:
      return MakeIcon([](QPainter& p) {
        QPen arrow(QColor(30, 30, 30), 1);
        p.setPen(arrow);
        p.setBrush(Qt::white);
        QPainterPath cursor;
        cursor.moveTo(1.5, 1.5);
        cursor.lineTo(1.5, 12);
        cursor.lineTo(4, 9.5);
        cursor.lineTo(6, 13.5);
        cursor.lineTo(7.5, 12.8);
        cursor.lineTo(5.5, 9);
        cursor.lineTo(8.5, 9);
        cursor.closeSubpath();
        p.drawPath(cursor);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(20, 60, 160));
        p.drawText(QRectF(8, 1, 8, 11), Qt::AlignCenter, QStringLiteral("?"));
      });
  }
  return {};
}
