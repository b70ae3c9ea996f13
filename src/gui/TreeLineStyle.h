#pragma once
// The look of a document's tree: lines that join each item to its parent and
// its siblings, and a small box with a plus or minus on every item that has
// children. Everything else is the application's style. Most desktop styles
// draw only an arrow beside a branch, which leaves a deep tree of channels hard
// to follow.

#include <QProxyStyle>

class CTreeLineStyle : public QProxyStyle {
  Q_OBJECT

 public:
  CTreeLineStyle();

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
