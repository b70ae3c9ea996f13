#include "gui/OptionsDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/DialogFit.h"
#include "gui/EnterValueDlg.h"
#include "gui/GuiText.h"
#include "gui/TableCopy.h"

namespace {
constexpr int kColumnWidth = 150;
}  // namespace

COptions::COptions(const COptionsValues& values, OptionsPage first, QWidget* parent)
    : QDialog(parent), m_values(values) {
  setWindowTitle(QString::fromUtf8(kOptionsCaption));
  auto* layout = new QVBoxLayout(this);
  m_pages = new QTabWidget(this);
  m_lists.assign(static_cast<std::size_t>(OptionsPageCount()), nullptr);
  for (OptionsPage page = 0; page < OptionsPageCount(); ++page) {
    const COptionsPageInfo info = PageInfo(page);
    auto* list = new QTableWidget(0, 2, m_pages);
    list->setHorizontalHeaderLabels(
        {QString::fromUtf8(info.columns[0]), QString::fromUtf8(info.columns[1])});
    list->verticalHeader()->hide();
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setMouseTracking(true);
    InstallRowCopy(list);
    list->setColumnWidth(0, kColumnWidth);
    list->setColumnWidth(1, kColumnWidth);
    list->setMinimumWidth(2 * kColumnWidth + 24);
    // The sheet is as wide as its tabs; the values take what the captions leave.
    list->horizontalHeader()->setStretchLastSection(true);
    connect(list, &QTableWidget::cellDoubleClicked, this,
            [this, page](int row, int) { DoubleClickRow(page, row); });
    m_lists[static_cast<std::size_t>(page)] = list;
    m_pages->addTab(list, QString::fromUtf8(info.caption));
    Fill(page);
  }
  m_pages->setCurrentIndex(static_cast<int>(first));
  layout->addWidget(m_pages);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(FittingSheetSize(this, m_pages));
}

void COptions::Fill(OptionsPage page) {
  QTableWidget* list = List(page);
  const std::vector<COptionRow> rows = PageRows(page, m_values);
  list->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < list->rowCount(); ++r) {
    const COptionRow& row = rows[static_cast<std::size_t>(r)];
    list->setItem(r, 0, new QTableWidgetItem(ToQ(row.caption)));
    list->setItem(r, 1, new QTableWidgetItem(ToQ(row.value)));
  }
  // A long group name or caption widens its column instead of being cut.
  for (int c = 0; c < list->columnCount(); ++c) {
    const int content = static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(c);
    list->setColumnWidth(c, std::max({kColumnWidth, content, list->columnWidth(c)}));
  }
  WidenColumnsToHeaders(list);
}

void COptions::DoubleClickRow(OptionsPage page, int row) {
  const std::vector<COptionRow> rows = PageRows(page, m_values);
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return;
  const COptionRow& r = rows[static_cast<std::size_t>(row)];
  if (r.edit == OptionEdit::EnterValue) {
    CEnterValueDlg dlg(this);
    dlg.Setup(ToQ(r.prompt), r.rangeCheck, r.minimum, r.maximum);
    dlg.SetValue(ToQ(r.value));
    if (dlg.exec() != QDialog::Accepted) return;
    SetRowValue(page, row, FromQ(dlg.Value()), m_values);
  } else {
    ChangeRow(page, row, m_values);
  }
  Fill(page);
  List(page)->selectRow(row);
}
