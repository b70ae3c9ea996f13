#include "gui/FramesDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <optional>

#include "gui/GuiText.h"
#include "platform/Text.h"

namespace {

constexpr const char* kGroupTitle = "Output Frame Range";
constexpr const char* kFirstLabel = "First Frame";
constexpr const char* kLastLabel = "Last Frame";
constexpr const char* kHelpText = "Help";

// An unsigned whole number, optionally surrounded by blanks; nothing for any
// other text or a value beyond 32 bits.
std::optional<long long> ParseUnsigned(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty() || t.size() > 10) return std::nullopt;
  long long v = 0;
  for (QChar c : t) {
    if (c < u'0' || c > u'9') return std::nullopt;
    v = v * 10 + (c.unicode() - u'0');
  }
  if (v > 0xFFFFFFFFLL) return std::nullopt;
  return v;
}

}  // namespace

bool FrameRangeAcceptable(long long minimum, long long maximum, long long first, long long last) {
  return minimum <= first && first <= last && last <= maximum;
}

CFramesDlg::CFramesDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(kTitle);
  auto* group = new QGroupBox(kGroupTitle, this);
  m_firstInfo = new QLabel(group);
  m_lastInfo = new QLabel(group);
  m_firstEdit = new QLineEdit(group);
  m_lastEdit = new QLineEdit(group);
  auto* grid = new QGridLayout(group);
  grid->addWidget(m_firstInfo, 0, 0, 1, 2);
  grid->addWidget(m_lastInfo, 1, 0, 1, 2);
  grid->addWidget(new QLabel(kFirstLabel, group), 2, 0);
  grid->addWidget(m_firstEdit, 2, 1);
  grid->addWidget(new QLabel(kLastLabel, group), 3, 0);
  grid->addWidget(m_lastEdit, 3, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* help = buttons->addButton(kHelpText, QDialogButtonBox::HelpRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &CFramesDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CFramesDlg::reject);
  connect(help, &QPushButton::clicked, this, [] { QWhatsThis::enterWhatsThisMode(); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
}

void CFramesDlg::SetInfo(int firstFrame, int lastFrame) {
  m_firstInfo->setText(ToQ(Format(kFirstInfoFormat, firstFrame)));
  m_lastInfo->setText(ToQ(Format(kLastInfoFormat, lastFrame)));
}

void CFramesDlg::SetLimits(long long minimum, long long maximum) {
  m_minimum = minimum;
  m_maximum = maximum;
}

void CFramesDlg::SetRange(long long first, long long last) {
  m_first = first;
  m_last = last;
  m_firstEdit->setText(QString::number(first));
  m_lastEdit->setText(QString::number(last));
}

void CFramesDlg::accept() {
  const std::optional<long long> first = ParseUnsigned(m_firstEdit->text());
  const std::optional<long long> last = ParseUnsigned(m_lastEdit->text());
  if (!first || !last) {
    QLineEdit* bad = first ? m_lastEdit : m_firstEdit;
    ShowMessageBox(this, kNotANumberText);
    bad->setFocus();
    bad->selectAll();
    return;
  }
  if (!FrameRangeAcceptable(m_minimum, m_maximum, *first, *last)) return;
  m_first = *first;
  m_last = *last;
  QDialog::accept();
}
