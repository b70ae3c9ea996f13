#pragma once
// The four 16 x 16 pictures of the tree's items, drawn once: an empty check
// box, a ticked one, a ticked one on grey (branch partly selected) and a page
// (the root). Indexed by TreeImage.

#include <QIcon>
#include <QPixmap>

QPixmap TreeImagePixmap(int image);
// The same picture as an icon whose selected and normal forms are identical.
const QIcon& TreeImageIcon(int image);
