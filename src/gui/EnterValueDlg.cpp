#include "gui/EnterValueDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <charconv>
#include <string>

double LeadingNumber(const QString& text) {
  const std::string s = text.toStdString();
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  double v = 0;
  // from_chars reads the longest number at the start and ignores the rest;
  // it never depends on the locale, unlike strtod under a Qt application.
  const auto result = std::from_chars(s.data() + i, s.data() + s.size(), v);
  if (result.ec != std::errc()) return 0;
  return negative ? -v : v;
}

CEnterValueDlg::CEnterValueDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(kTitle);
  m_prompt = new QLabel(this);
  m_prompt->setWordWrap(true);
  m_value = new QLineEdit(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CEnterValueDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CEnterValueDlg::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_prompt);
  layout->addWidget(m_value);
  layout->addWidget(buttons);
  setMinimumWidth(280);
}

void CEnterValueDlg::Setup(const QString& prompt, bool rangeCheck, float minimum, float maximum) {
  m_prompt->setText(prompt);
  m_rangeCheck = rangeCheck;
  m_minimum = minimum;
  m_maximum = maximum;
}

void CEnterValueDlg::SetValue(const QString& value) {
  m_value->setText(value);
  m_value->selectAll();
}

QString CEnterValueDlg::Value() const {
  return m_value->text();
}

void CEnterValueDlg::accept() {
  if (m_rangeCheck) {
    const double v = LeadingNumber(m_value->text());
    if (v < m_minimum || v > m_maximum) return;
  }
  QDialog::accept();
}
