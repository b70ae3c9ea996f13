#include "gui/LoggingDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWhatsThis>

#include "gui/GuiText.h"

namespace {
constexpr const char* kEnableText = "Enable Logging";
constexpr const char* kErrorsOnlyText = "Log on Errors Only";
constexpr const char* kFileLabel = "Log File";
constexpr const char* kHelpText = "Help";
}  // namespace

CLoggingDlg::CLoggingDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(kTitle);
  m_log = new QCheckBox(kEnableText, this);
  m_errorsOnly = new QCheckBox(kErrorsOnlyText, this);
  m_file = new QLineEdit(this);
  m_file->setMinimumWidth(320);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* help = buttons->addButton(kHelpText, QDialogButtonBox::HelpRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &CLoggingDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CLoggingDlg::reject);
  connect(help, &QPushButton::clicked, this, [] { QWhatsThis::enterWhatsThisMode(); });

  auto* grid = new QGridLayout(this);
  grid->addWidget(m_log, 0, 0, 1, 2);
  grid->addWidget(m_errorsOnly, 1, 0, 1, 2);
  grid->addWidget(new QLabel(kFileLabel, this), 2, 0);
  grid->addWidget(m_file, 2, 1);
  grid->addWidget(buttons, 3, 0, 1, 2);
}

void CLoggingDlg::SetValues(bool log, const QString& file, bool errorsOnly) {
  m_log->setChecked(log);
  m_file->setText(file);
  m_errorsOnly->setChecked(errorsOnly);
}

bool CLoggingDlg::Log() const {
  return m_log->isChecked();
}
QString CLoggingDlg::LogFile() const {
  return m_file->text();
}
bool CLoggingDlg::ErrorsOnly() const {
  return m_errorsOnly->isChecked();
}

void CLoggingDlg::accept() {
  if (m_log->isChecked() && m_file->text().isEmpty()) {
    ShowMessageBox(this, kNeedFileText);
    m_file->setFocus();
    return;
  }
  QDialog::accept();
}
