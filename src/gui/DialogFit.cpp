#include "gui/DialogFit.h"

#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>

namespace {

// The part of a screen a window may take: its frame and title bar need room.
constexpr int kScreenShareNumerator = 9;
constexpr int kScreenShareDenominator = 10;

}  // namespace

void WidenColumnsToHeaders(QTableView* table) {
  const QHeaderView* header = table->horizontalHeader();
  for (int c = 0; c < header->count(); ++c) {
    const int heading = header->sectionSizeHint(c);
    if (table->columnWidth(c) < heading) table->setColumnWidth(c, heading);
  }
}

QSize TableContentSize(const QTableView* table) {
  const int frame = 2 * table->frameWidth();
  const QHeaderView* columns = table->horizontalHeader();
  const QHeaderView* rows = table->verticalHeader();
  // The headers' own heights and widths are not set until the table is
  // laid out; their hints are known from the start.
  const int left = rows->isHidden() ? 0 : rows->sizeHint().width();
  const int top = columns->isHidden() ? 0 : columns->sizeHint().height();
  return {frame + left + columns->length(), frame + top + rows->length()};
}

QSize FittingSheetSize(const QWidget* dialog, const QTabWidget* pages) {
  // Fonts and style are settled by polishing, which showing would do later.
  dialog->ensurePolished();
  // Qt sizes the pages of a tab widget by their hints, which for a table is
  // a fixed 256 x 192 whatever it holds; each page grows by what its tables
  // lack, and the largest page decides.
  QSize hinted(0, 0);
  QSize wanted(0, 0);
  for (int i = 0; i < pages->count(); ++i) {
    const QWidget* page = pages->widget(i);
    QSize shortfall(0, 0);
    QList<const QTableView*> tables = page->findChildren<const QTableView*>();
    if (const auto* table = qobject_cast<const QTableView*>(page)) tables << table;
    for (const QTableView* table : tables) {
      shortfall = shortfall.expandedTo(TableContentSize(table) - table->sizeHint());
    }
    hinted = hinted.expandedTo(page->sizeHint());
    wanted = wanted.expandedTo(page->sizeHint() + shortfall);
  }
  QSize size = dialog->sizeHint() + (wanted - hinted).expandedTo(QSize(0, 0));

  // The tab bar runs across the top of the tab widget, which the layout
  // makes as wide as the dialog within its margins. A tab widget counts at
  // most 200 pixels of a scrolling tab bar in its own hint.
  const QMargins margins =
      dialog->layout() != nullptr ? dialog->layout()->contentsMargins() : QMargins();
  size.setWidth(std::max(size.width(),
                         pages->tabBar()->sizeHint().width() + margins.left() + margins.right()));

  if (const QScreen* screen = dialog->screen()) {
    const int room =
        screen->availableGeometry().height() * kScreenShareNumerator / kScreenShareDenominator;
    if (size.height() > room) {
      size.setHeight(room);
      // The rows now scroll; their scroll bar takes width from the columns.
      size.rwidth() += dialog->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }
  }
  return size;
}
