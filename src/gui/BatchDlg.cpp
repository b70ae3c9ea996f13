#include "gui/BatchDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "app/AppPaths.h"
#include "app/Kinex2App.h"
#include "documents/DocumentBase.h"
#include "gui/DialogFit.h"
#include "gui/GuiText.h"
#include "gui/TableCopy.h"

namespace {
constexpr const char* kColumns[] = {"Input File", "Output File", "Start Frame", "End Frame"};
constexpr int kColumnWidths[] = {200, 200, 60, 60};
constexpr int kColumnCount = 4;
}  // namespace

CBatchDlg::CBatchDlg(CKinex2App& app, QWidget* parent) : QDialog(parent), m_app(app) {
  setWindowTitle(kTitle);
  auto* layout = new QVBoxLayout(this);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(new QLabel(QStringLiteral("Text File:"), this));
  m_listFile = new QLabel(this);
  fileRow->addWidget(m_listFile, 1);
  auto* browse = new QPushButton(QStringLiteral("Browse"), this);
  fileRow->addWidget(browse);
  layout->addLayout(fileRow);

  m_list = new QTableWidget(0, kColumnCount, this);
  for (int c = 0; c < kColumnCount; ++c) {
    m_list->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(kColumns[c])));
    m_list->setColumnWidth(c, kColumnWidths[c]);
  }
  // The frame columns are narrower than their headings in most fonts.
  WidenColumnsToHeaders(m_list);
  const int width = m_list->horizontalHeader()->length() + 24;
  m_list->verticalHeader()->hide();
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setMouseTracking(true);
  InstallRowCopy(m_list);
  m_list->setMinimumWidth(width);
  layout->addWidget(m_list);

  m_status = new QLabel(this);
  layout->addWidget(m_status);

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  QPushButton* exportButton =
      buttons->addButton(QStringLiteral("Export"), QDialogButtonBox::ActionRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
    QWhatsThis::showText(mapToGlobal(QPoint(0, 0)),
                         QStringLiteral("Each line of the text file names a data file, then "
                                        "optionally the output file, the start frame and the "
                                        "end frame, separated by commas (-1: the whole "
                                        "recording). Export converts every line."),
                         this);
  });
  connect(browse, &QPushButton::clicked, this, &CBatchDlg::OnBrowse);
  connect(exportButton, &QPushButton::clicked, this, [this] { Export(); });
  layout->addWidget(buttons);
}

QString CBatchDlg::ListFile() const {
  return m_listFile->text();
}

QString CBatchDlg::StatusText() const {
  return m_status->text();
}

void CBatchDlg::OnBrowse() {
  const QString file = QFileDialog::getOpenFileName(this, QString(), QString(), kListFilter);
  if (!file.isEmpty()) LoadList(file);
}

void CBatchDlg::LoadList(const QString& listFile) {
  m_listFile->setText(listFile);
  m_list->setRowCount(0);
  const std::filesystem::path list = PathFromQ(listFile);
  m_listFolder = list.parent_path();
  if (!ReadBatchList(list, m_rows)) {
    m_rows.clear();
    m_app.LogMessage(kUnableToOpenList, true, false);
    return;
  }
  m_list->setRowCount(static_cast<int>(m_rows.size()));
  for (int r = 0; r < m_list->rowCount(); ++r) {
    const CBatchRow& row = m_rows[static_cast<std::size_t>(r)];
    // The default output as Export will name it, from the same bytes: a
    // Latin-1 name taken through a QString would come back as other bytes.
    const QString output =
        row.output.empty()
            ? ToQ(PathToUtf8(SaveOutputPath(PathFromUtf8(row.input), m_app.ExportTo)))
            : ToQ(row.output);
    const QString texts[] = {ToQ(row.input), output, ToQ(row.start.empty() ? "-1" : row.start),
                             ToQ(row.end.empty() ? "-1" : row.end)};
    for (int c = 0; c < kColumnCount; ++c) m_list->setItem(r, c, new QTableWidgetItem(texts[c]));
  }
}

CBatchResult CBatchDlg::Export() {
  const CBatchResult result = RunBatch(m_app, m_rows, m_listFolder, false, this);
  m_status->clear();
  return result;
}

void CBatchDlg::RowStarted(std::size_t /*row*/, std::size_t /*rows*/, const std::string& status,
                           const std::filesystem::path& /*output*/) {
  m_status->setText(ToQ(status));
  m_status->repaint();
}
