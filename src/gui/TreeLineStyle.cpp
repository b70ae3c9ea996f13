#include "gui/TreeLineStyle.h"

#include <QPainter>
#include <QStyleOption>

namespace {

// The side of the plus/minus box, in device-independent pixels; odd, so that
// the sign sits on its middle pixel.
constexpr int kBoxSize = 9;

}  // namespace

// No base style given: the application's style, whichever it is at the time.
CTreeLineStyle::CTreeLineStyle() = default;

void CTreeLineStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
  if (element != PE_IndicatorBranch) {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    return;
  }
  // The view asks once per indentation step of a row: State_Item on the
  // step of the row's own item, State_Sibling where a sibling follows below.
  const QRect r = option->rect;
  const int midX = r.left() + r.width() / 2;
  const int midY = r.top() + r.height() / 2;
  const bool item = (option->state & State_Item) != 0;
  const bool sibling = (option->state & State_Sibling) != 0;
  const bool children = (option->state & State_Children) != 0;

  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setPen(QPen(option->palette.color(QPalette::Mid), 0));
  if (item) {
    if (option->direction == Qt::RightToLeft) {
      painter->drawLine(r.left(), midY, midX, midY);
    } else {
      painter->drawLine(midX, midY, r.right(), midY);
    }
  }
  if (sibling) {
    painter->drawLine(midX, r.top(), midX, r.bottom());
  } else if (item) {
    painter->drawLine(midX, r.top(), midX, midY);
  }
  if (children) {
    const QRect box(midX - kBoxSize / 2, midY - kBoxSize / 2, kBoxSize - 1, kBoxSize - 1);
    painter->setBrush(option->palette.color(QPalette::Base));
    painter->drawRect(box);
    painter->setPen(QPen(option->palette.color(QPalette::Text), 0));
    painter->drawLine(midX - 2, midY, midX + 2, midY);
    if ((option->state & State_Open) == 0) painter->drawLine(midX, midY - 2, midX, midY + 2);
  }
  painter->restore();
}
