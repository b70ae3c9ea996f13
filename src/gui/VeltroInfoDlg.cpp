#include "gui/VeltroInfoDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "app/Kinex2App.h"
#include "gui/EnterValueDlg.h"
#include "gui/GuiText.h"
#include "gui/TableCopy.h"

namespace {
struct CRow {
  const char* key;
  const char* caption;
  const char* prompt;
};
const CRow kRows[] = {
    {kVeltroLocation, "Location", "Location"},
    {kVeltroSerial, "Serial Number", "Serial Number"},
    {kVeltroEquip, "Equipment Under Test", "Equipment"},
    {kVeltroRes, "ADC Resolution", "ADC Resolution"},
};
constexpr int kRowCount = 4;
constexpr int kColumnWidth = 150;
constexpr const char* kPromptStart = "Enter value for ";
}  // namespace

CVeltroInfoDlg::CVeltroInfoDlg(CKinex2App& app, QWidget* parent) : QDialog(parent), m_app(app) {
  setWindowTitle(kTitle);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Data"), this));
  m_list = new QTableWidget(kRowCount, 2, this);
  m_list->setHorizontalHeaderLabels({QStringLiteral("Item"), QStringLiteral("Text String")});
  m_list->verticalHeader()->hide();
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  InstallRowCopy(m_list);
  m_list->setColumnWidth(0, kColumnWidth);
  m_list->setColumnWidth(1, kColumnWidth);
  m_list->setMinimumWidth(2 * kColumnWidth + 24);
  layout->addWidget(m_list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
    QWhatsThis::showText(mapToGlobal(QPoint(0, 0)),
                         QStringLiteral("Double-click a row to change its value. The values "
                                        "head every EMG test report (DST flavour 2)."),
                         this);
  });
  layout->addWidget(buttons);
  connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    EditRow(row);
  });
  Fill();
}

void CVeltroInfoDlg::Fill() {
  for (int r = 0; r < kRowCount; ++r) {
    const auto it = m_app.veltro.find(kRows[r].key);
    const std::string value = it != m_app.veltro.end() ? it->second : std::string();
    m_list->setItem(r, 0, new QTableWidgetItem(QString::fromUtf8(kRows[r].caption)));
    m_list->setItem(r, 1, new QTableWidgetItem(ToQ(value)));
  }
}

bool CVeltroInfoDlg::EditRow(int row) {
  if (row < 0 || row >= kRowCount) return false;
  CEnterValueDlg dlg(this);
  dlg.Setup(QString::fromUtf8(kPromptStart) + QString::fromUtf8(kRows[row].prompt), false, 0, 0);
  dlg.SetValue(m_list->item(row, 1)->text());
  if (dlg.exec() != QDialog::Accepted) return true;
  m_app.WriteTestSetValue(kRows[row].key, FromQ(dlg.Value()));
  m_list->item(row, 1)->setText(dlg.Value());
  emit ValueChanged();
  return true;
}
