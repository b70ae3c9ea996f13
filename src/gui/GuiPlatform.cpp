#include "gui/GuiPlatform.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>

#include "gui/GuiText.h"
#include "gui/OverwriteDlg.h"

CGuiPlatform::CGuiPlatform(QWidget* window, QLabel* statusPane, QProgressBar* progress)
    : m_window(window), m_status(statusPane), m_progress(progress) {}

void CGuiPlatform::LogMessage(const std::string& text, bool showBox, bool /*writeToLog*/) {
  if (!showBox) return;
  // A box must not appear under a wait cursor.
  const bool waiting = m_waitDepth > 0;
  if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
  ShowMessageBox(m_window, ToQ(text));
  if (waiting) QApplication::restoreOverrideCursor();
}

bool CGuiPlatform::AskYesNo(const std::string& question) {
  QMessageBox box(QMessageBox::Question, kAppTitle, ToQ(question),
                  QMessageBox::Yes | QMessageBox::No, m_window);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

OverwriteAnswer CGuiPlatform::AskOverwrite(const std::string& question) {
  COverwriteDlg dlg(m_window);
  dlg.SetQuestion(ToQ(question));
  dlg.exec();
  switch (dlg.Answer()) {
    case COverwriteDlg::kYes:
      return OverwriteAnswer::Yes;
    case COverwriteDlg::kYesToAll:
      return OverwriteAnswer::YesToAll;
    case COverwriteDlg::kNo:
      return OverwriteAnswer::No;
    default:
      return OverwriteAnswer::Cancel;
  }
}

void CGuiPlatform::BeginWaitCursor() {
  ++m_waitDepth;
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CGuiPlatform::EndWaitCursor() {
  if (m_waitDepth == 0) return;
  --m_waitDepth;
  QApplication::restoreOverrideCursor();
}

void CGuiPlatform::ProgressBegin(int range) {
  if (m_progress == nullptr) return;
  m_progress->setRange(0, range > 0 ? range : 1);
  m_progress->setValue(0);
  m_progress->show();
  m_shownPercent = 0;
  m_progress->repaint();
}

void CGuiPlatform::ProgressStep() {
  if (m_progress == nullptr || !m_progress->isVisible()) return;
  const int value = std::min(m_progress->value() + 1, m_progress->maximum());
  m_progress->setValue(value);
  // Work runs on this thread without returning to the event loop, so the bar
  // is painted here, once per percent rather than once per step.
  const int percent = static_cast<int>(100LL * value / m_progress->maximum());
  if (percent != m_shownPercent) {
    m_shownPercent = percent;
    m_progress->repaint();
  }
}

void CGuiPlatform::ProgressEnd() {
  if (m_progress == nullptr) return;
  m_progress->hide();
  m_progress->reset();
}

void CGuiPlatform::SetStatusText(const std::string& text) {
  if (m_status == nullptr) return;
  m_status->setText(ToQ(text));
  m_status->repaint();
}
