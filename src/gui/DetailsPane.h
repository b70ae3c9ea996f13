#pragma once
// The details pane beside a document's tree: the current item's title, its
// tables (CItemDetails) and, for channels and points, a signal plot of every
// chosen one. It only draws what the documents layer described.

#include <QWidget>
#include <vector>

#include "documents/ItemDetails.h"
#include "gui/EventMarks.h"

class QLabel;
class QSplitter;
class QTableWidget;
class CSignalPlot;

class CDetailsPane : public QWidget {
  Q_OBJECT

 public:
  explicit CDetailsPane(QWidget* parent = nullptr);

  // Shows `details`; the plot's time axis runs at `frameRate` frames per
  // second over `frameCount` frames numbered from `firstFrame`. The series
  // borrow the recording's samples: call again (or Clear) before it goes.
  void Show(CItemDetails details, double frameRate, int firstFrame, int frameCount);
  void Clear();
  // The document's frame range, shaded on the plot.
  void SetFrameRange(int first, int last);
  // The time cursor (a frame number): on the plot, and the plotted values
  // there in the table above it.
  void SetCursorFrame(int frame);
  void SetEvents(std::vector<CEventMark> marks);
  QTableWidget* CursorTable() const { return m_cursorTable; }

  QLabel* Title() const { return m_title; }
  // Tables in the order of the details; hidden ones beyond TableCount().
  int TableCount() const { return m_shown; }
  QTableWidget* Table(int i) const { return m_tables[static_cast<std::size_t>(i)]; }
  QLabel* Caption(int i) const { return m_captions[static_cast<std::size_t>(i)]; }
  CSignalPlot* Plot() const { return m_plot; }

 private:
  void Fill(QTableWidget* table, const CDetailsTable& t);
  void ShowCursorValues();
  // The height the shown tables and their captions ask for.
  int TablesHeight() const;

  QLabel* m_title;
  QSplitter* m_splitter;
  QWidget* m_tableArea;
  std::vector<QLabel*> m_captions;
  std::vector<QTableWidget*> m_tables;
  int m_shown = 0;
  QWidget* m_plotBox;
  QLabel* m_cursorCaption;
  QTableWidget* m_cursorTable;
  CSignalPlot* m_plot;
  int m_firstFrame = 1;
  int m_cursorFrame = 1;
};
