#include "gui/VdoInfoSheet.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/Kinex2App.h"
#include "gui/DialogFit.h"
#include "gui/EditableListCtrl.h"
#include "gui/GuiText.h"
#include "gui/TableCopy.h"

namespace {

constexpr char kLabelEmpty[] = "The label cannot be empty";
constexpr char kNewLabelEmpty[] = "The New label name cannot be empty";
constexpr char kVariableEmpty[] = "The variable cannot be empty";
constexpr char kValueEmpty[] = "The value cannot be empty";
// kinex2.ini keeps each pair and each extra line as one comma-separated
// value: a comma inside a name would split it on the next start.
constexpr char kNoComma[] = "A name may not contain a comma";
constexpr char kNewSource[] = "XXXX";
constexpr char kNewDst[] = "NewXXXX";
constexpr char kNewExtraLine[] = "$Var,Value";
constexpr char kPlateRow[] = "ForcePlate%1%2";
constexpr const char* kComponentNames[] = {"FX", "FY", "FZ", "DX", "DY", "TZ"};
constexpr int kComponents = 6;

// The comma-separated pieces of an extra line.
QStringList Pieces(const std::string& line) {
  return ToQ(line).split(QLatin1Char(','));
}

}  // namespace

// ---- The list pages ---------------------------------------------------------

CVdoListPage::CVdoListPage(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  m_list = new CEditableListCtrl(this);
  m_list->verticalHeader()->hide();
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->EnableEditing(true);
  m_list->SetFirstColumnEditable(true);
  m_list->SetColumnEditor(0, kEditBox);
  m_list->SetColumnEditor(1, kEditBox);
  layout->addWidget(m_list);
  auto* buttons = new QHBoxLayout;
  m_add = new QPushButton(QStringLiteral("Add"), this);
  m_delete = new QPushButton(QStringLiteral("Delete"), this);
  buttons->addWidget(m_add);
  buttons->addWidget(m_delete);
  buttons->addStretch();
  layout->addLayout(buttons);

  connect(m_list, &CEditableListCtrl::editFinished, this,
          [this](int row, int column, bool cancelled, const QString& text) {
            if (!cancelled && row >= 0) OnEdit(row, column, text);
          });
  connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
  connect(m_add, &QPushButton::clicked, this, [this] { OnAdd(); });
  connect(m_delete, &QPushButton::clicked, this, [this] {
    if (m_current < 0 || m_current >= m_list->rowCount()) return;
    const int row = m_current;
    OnDelete(row);
    m_list->removeRow(row);
    // No row is current until the user picks one again.
    m_list->clearSelection();
    m_current = -1;
  });
}

void CVdoListPage::FillList(const QStringList& headers, const std::vector<int>& widths,
                            const std::vector<QStringList>& rows) {
  m_list->setColumnCount(static_cast<int>(headers.size()));
  m_list->setHorizontalHeaderLabels(headers);
  for (int c = 0; c < static_cast<int>(widths.size()); ++c) m_list->setColumnWidth(c, widths[c]);
  WidenColumnsToHeaders(m_list);
  m_list->setRowCount(0);
  for (const QStringList& cells : rows) AppendRow(cells);
  m_current = -1;
}

void CVdoListPage::AppendRow(const QStringList& cells) {
  const int row = m_list->rowCount();
  m_list->insertRow(row);
  for (int c = 0; c < m_list->columnCount(); ++c) {
    m_list->setItem(row, c, new QTableWidgetItem(c < cells.size() ? cells[c] : QString()));
  }
  m_list->scrollToItem(m_list->item(row, 0));
}

void CVdoListPage::OnSelectionChanged() {
  const QModelIndexList rows = m_list->selectionModel()->selectedRows();
  if (rows.size() == 1) {
    m_current = rows.front().row();
    m_list->EnableEditing(true);
  } else if (rows.size() > 1) {
    m_current = -1;
    m_list->EnableEditing(false);
  }
}

bool CVdoListPage::Acceptable(const QString& text, const char* emptyMessage) {
  if (text.isEmpty()) {
    ShowMessageBox(this, QString::fromUtf8(emptyMessage));
    return false;
  }
  if (text.contains(QLatin1Char(','))) {
    ShowMessageBox(this, QString::fromUtf8(kNoComma));
    return false;
  }
  return true;
}

void CVdoListPage::SetCell(int row, int column, const std::string& text) {
  if (QTableWidgetItem* cell = m_list->item(row, column)) cell->setText(ToQ(text));
}

// ---- Labels -------------------------------------------------------------------

CPageVdoLabels::CPageVdoLabels(std::vector<std::string> sourceNames,
                               std::vector<std::string> dstNames, QWidget* parent)
    : CVdoListPage(parent), m_source(std::move(sourceNames)), m_dst(std::move(dstNames)) {
  m_dst.resize(m_source.size());
  std::vector<QStringList> rows;
  for (std::size_t i = 0; i < m_source.size(); ++i)
    rows.push_back({ToQ(m_source[i]), ToQ(m_dst[i])});
  FillList({QStringLiteral("LABEL"), QStringLiteral("NEW LABEL")}, {100, 200}, rows);
}

void CPageVdoLabels::OnEdit(int row, int column, const QString& text) {
  if (row >= static_cast<int>(m_source.size()) || column > 1) return;
  std::vector<std::string>& names = column == 0 ? m_source : m_dst;
  const std::size_t r = static_cast<std::size_t>(row);
  // The list has put the text in the cell already; a refused one is undone.
  if (Acceptable(text, column == 0 ? kLabelEmpty : kNewLabelEmpty)) names[r] = FromQ(text);
  SetCell(row, column, names[r]);
}

void CPageVdoLabels::OnAdd() {
  m_source.push_back(kNewSource);
  m_dst.push_back(kNewDst);
  AppendRow({kNewSource, kNewDst});
}

void CPageVdoLabels::OnDelete(int row) {
  m_source.erase(m_source.begin() + row);
  m_dst.erase(m_dst.begin() + row);
}

// ---- Other data -------------------------------------------------------------

CPageVdoExtra::CPageVdoExtra(std::vector<std::string> lines, QWidget* parent)
    : CVdoListPage(parent), m_lines(std::move(lines)) {
  std::vector<QStringList> rows;
  for (const std::string& line : m_lines) {
    const QStringList pieces = Pieces(line);
    rows.push_back({pieces.value(0), pieces.size() > 1 ? pieces[1] : QString()});
  }
  FillList({QStringLiteral("Variable"), QStringLiteral("Value")}, {200, 150}, rows);
}

void CPageVdoExtra::OnEdit(int row, int column, const QString& text) {
  if (row >= static_cast<int>(m_lines.size()) || column > 1) return;
  std::string& line = m_lines[static_cast<std::size_t>(row)];
  const QStringList pieces = Pieces(line);
  if (Acceptable(text, column == 0 ? kVariableEmpty : kValueEmpty)) {
    // Pieces after the second are not shown, and go with an edit.
    if (column == 0) {
      line = FromQ(pieces.size() >= 2 ? text + QLatin1Char(',') + pieces[1] : text);
    } else {
      line = FromQ(pieces.value(0) + QLatin1Char(',') + text);
    }
  }
  const QStringList now = Pieces(line);
  SetCell(row, column, FromQ(column == 0 ? now.value(0) : now.value(1)));
}

void CPageVdoExtra::OnAdd() {
  m_lines.push_back(kNewExtraLine);
  const QStringList pieces = Pieces(kNewExtraLine);
  AppendRow({pieces[0], pieces[1]});
}

void CPageVdoExtra::OnDelete(int row) {
  m_lines.erase(m_lines.begin() + row);
}

// ---- Channel selection ------------------------------------------------------

CPageVdoSelect::CPageVdoSelect(const std::string& selection, QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Force Plate Channels"), this));
  m_list = new QListWidget(this);
  m_list->setMinimumWidth(150);
  InstallRowCopy(m_list);
  layout->addWidget(m_list);
  const std::size_t plates = selection.size() / kComponents;
  for (std::size_t p = 0; p < plates; ++p) {
    for (int k = 0; k < kComponents; ++k) {
      auto* item = new QListWidgetItem(
          QString::fromUtf8(kPlateRow).arg(p + 1).arg(QString::fromUtf8(kComponentNames[k])),
          m_list);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(selection[p * kComponents + static_cast<std::size_t>(k)] == '1'
                              ? Qt::Checked
                              : Qt::Unchecked);
    }
  }
}

std::string CPageVdoSelect::Selection() const {
  std::string s;
  for (int i = 0; i < m_list->count(); ++i) {
    s += m_list->item(i)->checkState() == Qt::Checked ? '1' : '0';
  }
  return s;
}

// ---- The sheet -------------------------------------------------------------

CVdoInfoSheet::CVdoInfoSheet(const LabelTranslations& lists, const std::string* plateSelection,
                             QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(kTitle);
  auto* layout = new QVBoxLayout(this);
  m_tabs = new QTabWidget(this);
  m_labels = new CPageVdoLabels(lists.sourceNames, lists.dstNames, m_tabs);
  m_extra = new CPageVdoExtra(lists.extraLines, m_tabs);
  m_tabs->addTab(m_labels, QStringLiteral("Labels"));
  m_tabs->addTab(m_extra, QStringLiteral("Other Data"));
  if (plateSelection != nullptr) {
    m_select = new CPageVdoSelect(*plateSelection, m_tabs);
    m_tabs->addTab(m_select, QStringLiteral("Channel Selection"));
  }
  layout->addWidget(m_tabs);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    // A cell still being edited is finished first, as leaving it would.
    m_labels->List()->EndEdit();
    m_extra->List()->EndEdit();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(FittingSheetSize(this, m_tabs));
}

LabelTranslations CVdoInfoSheet::Lists() const {
  return {m_labels->SourceNames(), m_labels->DstNames(), m_extra->Lines()};
}

bool RunVdoInformation(CKinex2App& app, std::string* plateSelection, QWidget* parent) {
  CVdoInfoSheet sheet({app.labelSourceNames, app.labelDstNames, app.vdoExtraLines}, plateSelection,
                      parent);
  if (sheet.exec() != QDialog::Accepted) return false;
  if (plateSelection != nullptr) *plateSelection = sheet.SelectPage()->Selection();
  const LabelTranslations edited = sheet.Lists();
  if (edited.sourceNames == app.labelSourceNames && edited.dstNames == app.labelDstNames &&
      edited.extraLines == app.vdoExtraLines) {
    return false;
  }
  app.labelSourceNames = edited.sourceNames;
  app.labelDstNames = edited.dstNames;
  app.vdoExtraLines = edited.extraLines;
  app.WriteVdoIniFile();
  return true;
}
