// The tree's check-box pictures at the resolution of the screen they are shown on.

#include "gui/TreeImages.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "GuiTestSupport.h"
#include "documents/TreeItems.h"

namespace {

QImage Painted(const QIcon& icon, qreal ratio) {
  const int side = qRound(kTreeImageSize * ratio);
  QImage target(side, side, QImage::Format_ARGB32_Premultiplied);
  target.setDevicePixelRatio(ratio);
  target.fill(Qt::transparent);
  QPainter p(&target);
  icon.paint(&p, QRect(0, 0, kTreeImageSize, kTreeImageSize));
  return target;
}

TEST(TreeImagesTest, PicturesAreDrawnAtTheDevicePixelRatio) {
  guitest::App();
  for (int image = 0; image < kTreeImageCount; ++image) {
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
      const QPixmap drawn = TreeImagePixmap(image, ratio);
      EXPECT_EQ(drawn.size(), QSize(qRound(16 * ratio), qRound(16 * ratio)));
      EXPECT_EQ(drawn.devicePixelRatio(), ratio);
      EXPECT_EQ(drawn.deviceIndependentSize(), QSizeF(16, 16));
      // What the tree paints is that picture, not a 16-pixel one stretched.
      const QImage painted = Painted(TreeImageIcon(image), ratio);
      EXPECT_EQ(painted.convertToFormat(QImage::Format_ARGB32),
                drawn.toImage().convertToFormat(QImage::Format_ARGB32))
          << "image " << image << " at " << ratio;
    }
  }
  // At 200 % the tick has more detail than the 100 % one doubled.
  const QImage sharp = TreeImagePixmap(kImageChecked, 2.0).toImage();
  const QImage blocky = TreeImagePixmap(kImageChecked, 1.0).toImage().scaled(32, 32);
  EXPECT_NE(sharp.convertToFormat(QImage::Format_ARGB32),
            blocky.convertToFormat(QImage::Format_ARGB32));
  const QPixmap asked = TreeImageIcon(kImagePartial).pixmap(QSize(16, 16), 2.0);
  EXPECT_EQ(asked.size(), QSize(32, 32));
  EXPECT_EQ(asked.devicePixelRatio(), 2.0);
}

}  // namespace
