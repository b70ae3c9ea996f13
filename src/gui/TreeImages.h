#pragma once
// The four pictures of the tree's items, 16 x 16 in device-independent pixels:
// an empty check box, a ticked one, a ticked one on grey (branch partly
// selected) and a page (the root). Indexed by TreeImage. They are drawn for the
// device-pixel ratio they are shown at, so that they stay sharp at any scale.

#include <QIcon>
#include <QPixmap>

inline constexpr int kTreeImageSize = 16;

// The picture drawn at `ratio` device pixels per pixel: a pixmap of
// 16 x `ratio` device pixels that carries `ratio` as its device-pixel ratio.
QPixmap TreeImagePixmap(int image, qreal ratio = 1.0);
// The same picture as an icon that draws itself at the device-pixel ratio of
// whatever it is painted on; its selected and normal forms are identical.
const QIcon& TreeImageIcon(int image);
