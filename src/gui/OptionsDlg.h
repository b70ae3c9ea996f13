#pragma once
// "Kinex2 Options": the export pages and each format's pages, each one
// two-column list of settings. A
// double-click on a row toggles a Yes/No value, steps a value from a short
// list, or asks for a number in the Enter Value dialog. The sheet works on a
// copy; the caller copies it back only when the sheet ends with OK.

#include <QDialog>
#include <vector>

#include "app/OptionsPages.h"

class QTabWidget;
class QTableWidget;

class COptions : public QDialog {
  Q_OBJECT

 public:
  COptions(const COptionsValues& values, OptionsPage first, QWidget* parent = nullptr);

  const COptionsValues& Values() const { return m_values; }
  QTabWidget* Pages() const { return m_pages; }
  QTableWidget* List(OptionsPage page) const { return m_lists[static_cast<std::size_t>(page)]; }
  // A double-click on `row` of `page` (-1: no row selected, nothing happens).
  void DoubleClickRow(OptionsPage page, int row);

 private:
  void Fill(OptionsPage page);

  COptionsValues m_values;
  QTabWidget* m_pages;
  std::vector<QTableWidget*> m_lists;  // one per page, in the sheet's order
};
