#include "gui/TableCopy.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QListView>
#include <QTableView>
#include <algorithm>
#include <vector>

namespace {

// The model columns in the order the view shows them.
std::vector<int> ShownColumns(const QAbstractItemView* view) {
  std::vector<int> columns;
  const QAbstractItemModel* model = view->model();
  if (const auto* table = qobject_cast<const QTableView*>(view)) {
    const QHeaderView* header = table->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
      const int column = header->logicalIndex(visual);
      if (!table->isColumnHidden(column)) columns.push_back(column);
    }
  } else if (const auto* list = qobject_cast<const QListView*>(view)) {
    columns.push_back(list->modelColumn());
  } else {
    for (int c = 0; c < model->columnCount(view->rootIndex()); ++c) columns.push_back(c);
  }
  return columns;
}

bool RowHidden(const QAbstractItemView* view, int row) {
  if (const auto* table = qobject_cast<const QTableView*>(view)) return table->isRowHidden(row);
  if (const auto* list = qobject_cast<const QListView*>(view)) return list->isRowHidden(row);
  return false;
}

// Where `row` is shown: a table's rows may have been moved or sorted.
int ShownPosition(const QAbstractItemView* view, int row) {
  if (const auto* table = qobject_cast<const QTableView*>(view)) {
    return table->verticalHeader()->visualIndex(row);
  }
  return row;
}

}  // namespace

QString SelectedRowsText(const QAbstractItemView* view) {
  const QAbstractItemModel* model = view->model();
  const QItemSelectionModel* selection = view->selectionModel();
  if (model == nullptr || selection == nullptr) return {};
  // A row counts when any of its cells is selected: with single-cell
  // selection the whole row still goes, as its line.
  std::vector<int> rows;
  for (const QModelIndex& index : selection->selectedIndexes()) {
    if (index.parent() != view->rootIndex() || RowHidden(view, index.row())) continue;
    rows.push_back(index.row());
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::sort(rows.begin(), rows.end(),
            [view](int a, int b) { return ShownPosition(view, a) < ShownPosition(view, b); });
  const std::vector<int> columns = ShownColumns(view);
  QString text;
  for (const int row : rows) {
    QStringList cells;
    for (const int column : columns) {
      cells << model->index(row, column, view->rootIndex()).data(Qt::DisplayRole).toString();
    }
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  return text;
}

void InstallRowCopy(QAbstractItemView* view) {
  auto* copy = new QAction(view);
  copy->setShortcut(QKeySequence::Copy);
  // Only while the view itself has the focus: an editor open in one of its
  // cells keeps Ctrl+C for its own text.
  copy->setShortcutContext(Qt::WidgetShortcut);
  QObject::connect(copy, &QAction::triggered, view, [view] {
    const QString text = SelectedRowsText(view);
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
  });
  view->addAction(copy);
}
