#include "gui/DetailsPane.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/DialogFit.h"
#include "gui/GuiText.h"
#include "gui/SignalPlot.h"
#include "gui/TableCopy.h"

namespace {

constexpr const char* kNoneSuffix = ": none";
constexpr const char* kCursorCaption = "At frame %1";

}  // namespace

CDetailsPane::CDetailsPane(QWidget* parent) : QWidget(parent) {
  m_title = new QLabel(this);
  QFont bold = m_title->font();
  bold.setBold(true);
  m_title->setFont(bold);
  m_title->setTextInteractionFlags(Qt::TextSelectableByMouse);

  m_splitter = new QSplitter(Qt::Vertical, this);
  m_tableArea = new QWidget(m_splitter);
  auto* tables = new QVBoxLayout(m_tableArea);
  tables->setContentsMargins(0, 0, 0, 0);
  // Tables take the height of their rows; what is left stays below them.
  tables->addStretch(1);
  // The plot with the values at the time cursor above it.
  m_plotBox = new QWidget(m_splitter);
  auto* plotLayout = new QVBoxLayout(m_plotBox);
  plotLayout->setContentsMargins(0, 0, 0, 0);
  m_cursorCaption = new QLabel(m_plotBox);
  m_cursorTable = new QTableWidget(m_plotBox);
  m_cursorTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_cursorTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_cursorTable->verticalHeader()->setVisible(false);
  m_cursorTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  InstallRowCopy(m_cursorTable);
  m_plot = new CSignalPlot(m_plotBox);
  plotLayout->addWidget(m_cursorCaption);
  plotLayout->addWidget(m_cursorTable);
  plotLayout->addWidget(m_plot, 1);
  m_splitter->addWidget(m_tableArea);
  m_splitter->addWidget(m_plotBox);
  m_splitter->setStretchFactor(0, 1);
  m_splitter->setStretchFactor(1, 2);
  m_splitter->setChildrenCollapsible(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(m_title);
  layout->addWidget(m_splitter, 1);
  Clear();
}

void CDetailsPane::Fill(QTableWidget* table, const CDetailsTable& t) {
  table->setUpdatesEnabled(false);
  table->clear();
  table->setColumnCount(static_cast<int>(t.columns.size()));
  table->setRowCount(static_cast<int>(t.rows.size()));
  QStringList columns;
  for (const std::string& c : t.columns) columns << ToQ(c);
  table->setHorizontalHeaderLabels(columns);
  QStringList titles;
  for (const std::string& r : t.rowTitles) titles << ToQ(r);
  table->setVerticalHeaderLabels(titles);
  table->verticalHeader()->setVisible(!t.rowTitles.empty());
  for (int r = 0; r < table->rowCount(); ++r) {
    const auto& row = t.rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < static_cast<int>(row.size()) && c < table->columnCount(); ++c) {
      table->setItem(r, c, new QTableWidgetItem(ToQ(row[static_cast<std::size_t>(c)])));
    }
  }
  table->resizeColumnsToContents();
  // Contents may be narrower than their heading ("Dimensions" over "[]").
  WidenColumnsToHeaders(table);
  // Sized sections lose the stretch of the last one until the next resize;
  // setting it again stretches it now.
  table->horizontalHeader()->setStretchLastSection(false);
  table->horizontalHeader()->setStretchLastSection(true);
  // No taller than its rows: a short table leaves the room to the others
  // and to the plot; a long one scrolls.
  const int rows = table->rowCount();
  const int height = table->horizontalHeader()->sizeHint().height() +
                     rows * table->verticalHeader()->defaultSectionSize() +
                     2 * table->frameWidth() + table->horizontalScrollBar()->sizeHint().height();
  table->setMaximumHeight(height);
  table->setUpdatesEnabled(true);
}

int CDetailsPane::TablesHeight() const {
  int height = 0;
  for (int i = 0; i < m_shown; ++i) {
    if (m_tables[static_cast<std::size_t>(i)]->isHidden()) continue;
    height += m_tables[static_cast<std::size_t>(i)]->maximumHeight();
    if (!m_captions[static_cast<std::size_t>(i)]->isHidden()) {
      height += m_captions[static_cast<std::size_t>(i)]->sizeHint().height();
    }
    height += m_tableArea->layout()->spacing();
  }
  return height;
}

void CDetailsPane::Show(CItemDetails details, double frameRate, int firstFrame, int frameCount) {
  m_title->setText(ToQ(details.title));
  auto* layout = static_cast<QVBoxLayout*>(m_tableArea->layout());
  while (m_tables.size() < details.tables.size()) {
    auto* caption = new QLabel(m_tableArea);
    auto* table = new QTableWidget(m_tableArea);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    InstallRowCopy(table);
    // Before the closing stretch.
    layout->insertWidget(layout->count() - 1, caption);
    // Tables grow to their rows' height before the stretch below them does.
    layout->insertWidget(layout->count() - 1, table, 100);
    m_captions.push_back(caption);
    m_tables.push_back(table);
  }
  m_shown = static_cast<int>(details.tables.size());
  for (std::size_t i = 0; i < m_tables.size(); ++i) {
    bool shown = i < details.tables.size();
    if (shown) {
      const CDetailsTable& t = details.tables[i];
      m_captions[i]->setText(ToQ(t.caption));
      m_captions[i]->setVisible(!t.caption.empty());
      Fill(m_tables[i], t);
      // An empty table says so in its caption instead of taking room.
      if (t.rows.empty() && !t.caption.empty()) {
        m_captions[i]->setText(ToQ(t.caption) + kNoneSuffix);
      }
      shown = !t.rows.empty();
    } else {
      m_captions[i]->hide();
    }
    m_tables[i]->setVisible(shown);
  }
  m_tableArea->setVisible(!details.tables.empty());
  const bool plotted = !details.series.empty();
  m_firstFrame = firstFrame;
  m_plot->SetSeries(std::move(details.series), frameRate, firstFrame, frameCount);
  m_plotBox->setVisible(plotted);
  // New series: the cursor table gets their columns.
  m_cursorTable->setColumnCount(0);
  ShowCursorValues();
  if (plotted) {
    // The tables as tall as their rows, up to two fifths; the plot the rest.
    const int total = std::max(m_splitter->height(), 400);
    const int tables = details.tables.empty() ? 0 : std::min(TablesHeight(), total * 2 / 5);
    m_splitter->setSizes({tables, total - tables});
  }
}

void CDetailsPane::Clear() {
  Show(CItemDetails{}, 0.0, 1, 0);
}

void CDetailsPane::SetFrameRange(int first, int last) {
  m_plot->SetFrameRange(first, last);
}

void CDetailsPane::SetCursorFrame(int frame) {
  m_cursorFrame = frame;
  m_plot->SetCursorFrame(frame);
  ShowCursorValues();
}

void CDetailsPane::SetEvents(std::vector<CEventMark> marks) {
  m_plot->SetEvents(std::move(marks));
}

void CDetailsPane::ShowCursorValues() {
  if (m_plot->Series().empty()) return;
  const CDetailsTable t = CursorValues(m_plot->Series(), m_cursorFrame - m_firstFrame);
  m_cursorCaption->setText(QString(kCursorCaption).arg(m_cursorFrame));
  // The same columns as before: only the values change as the cursor moves.
  const bool sameColumns = m_cursorTable->columnCount() == static_cast<int>(t.columns.size()) &&
                           m_cursorTable->rowCount() == 1 && !t.rows.empty();
  if (sameColumns) {
    for (int c = 0; c < m_cursorTable->columnCount(); ++c) {
      const QString text = ToQ(t.rows.front()[static_cast<std::size_t>(c)]);
      if (QTableWidgetItem* item = m_cursorTable->item(0, c)) {
        item->setText(text);
      } else {
        m_cursorTable->setItem(0, c, new QTableWidgetItem(text));
      }
    }
    return;
  }
  Fill(m_cursorTable, t);
  m_cursorTable->setFixedHeight(m_cursorTable->maximumHeight());
}
