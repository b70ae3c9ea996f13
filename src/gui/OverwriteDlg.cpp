#include "gui/OverwriteDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr const char* kButtonTexts[4] = {"&Yes", "Yes To &All", "&No", "Cancel"};
}

COverwriteDlg::COverwriteDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(kTitle);
  m_question = new QLabel(this);
  m_question->setWordWrap(true);
  m_question->setMinimumWidth(320);
  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(m_question, 1);

  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (int i = 0; i < 4; ++i) {
    m_buttons[i] = new QPushButton(kButtonTexts[i], this);
    m_buttons[i]->setAutoDefault(false);
    const int answer = i + 1;
    connect(m_buttons[i], &QPushButton::clicked, this, [this, answer] { Finish(answer); });
    row->addWidget(m_buttons[i]);
  }
  m_buttons[0]->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(row);
}

void COverwriteDlg::SetQuestion(const QString& text) {
  m_question->setText(text);
}

QPushButton* COverwriteDlg::Button(int answer) const {
  if (answer < kYes || answer > kCancel) return nullptr;
  return m_buttons[answer - 1];
}

void COverwriteDlg::Finish(int answer) {
  m_answer = answer;
  done(answer);
}

void COverwriteDlg::reject() {
  Finish(kCancel);
}
