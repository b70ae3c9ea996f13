#pragma once
// Ctrl+C on any list or table of the program: the selected rows go to the
// clipboard as tab-separated text, one line per row, for a spreadsheet or a
// report. Qt's own Copy takes the current cell alone.

#include <QString>

class QAbstractItemView;

// The selected rows of `view` in the order shown, each row's cells in the
// order of the columns shown, separated by tabs; every line ends in "\n".
// Hidden rows and columns are left out. Empty when nothing is selected.
QString SelectedRowsText(const QAbstractItemView* view);

// Gives `view` a Copy action (Ctrl+C while it has the focus) that puts
// SelectedRowsText on the clipboard.
void InstallRowCopy(QAbstractItemView* view);
