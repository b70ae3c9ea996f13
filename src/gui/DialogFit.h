#pragma once
// Sizes taken from what a dialog shows rather than fixed numbers: tables
// whose columns are never narrower than their headings, and tabbed sheets
// that open with every tab and every row of their lists in view.

#include <QSize>

class QTabWidget;
class QTableView;
class QWidget;

// Widens each column of `table` that is narrower than its heading.
void WidenColumnsToHeaders(QTableView* table);

// The size `table` needs to show all of its columns and rows unscrolled.
QSize TableContentSize(const QTableView* table);

// A size for `dialog`, whose layout holds `pages`, at which every tab of
// `pages` is shown and every table on its pages shows all its columns and
// rows. Only the height is held to the dialog's screen (the rows of a long
// list then scroll): the width comes from the dialog's own captions.
QSize FittingSheetSize(const QWidget* dialog, const QTabWidget* pages);
