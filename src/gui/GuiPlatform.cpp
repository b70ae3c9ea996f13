#include "gui/GuiPlatform.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <exception>
#include <thread>

#include "gui/GuiText.h"
#include "gui/OverwriteDlg.h"

CGuiPlatform::CGuiPlatform(QWidget* window, QLabel* statusPane, QProgressBar* progress)
    : m_window(window), m_status(statusPane), m_progress(progress) {}

namespace {

constexpr int kProgressTimerMs = 50;
// Work done sooner never shows its box.
constexpr int kShowProgressAfterMs = 400;
constexpr char kLongWorkLabel[] = "Writing %1";
constexpr char kCancelling[] = "Cancelling...";

}  // namespace

bool CGuiPlatform::OnWorkerThread() const {
  return qApp != nullptr && QThread::currentThread() != qApp->thread();
}

void CGuiPlatform::OnWindowThread(const std::function<void()>& call) {
  QMetaObject::invokeMethod(qApp, call, Qt::BlockingQueuedConnection);
}

void CGuiPlatform::RunLongWork(const std::string& title, const std::function<void()>& work) {
  if (qApp == nullptr || m_inLongWork || OnWorkerThread()) {
    work();
    return;
  }
  m_inLongWork = true;
  m_cancel = false;
  m_workSteps = 0;
  const int range = m_progress != nullptr ? m_progress->maximum() : 100;

  QProgressDialog box(QString(kLongWorkLabel).arg(ToQ(title)), QStringLiteral("Cancel"), 0, range,
                      m_window);
  box.setObjectName(kLongWorkBoxName);
  box.setWindowTitle(kAppTitle);
  box.setWindowModality(Qt::WindowModal);
  box.setMinimumDuration(kShowProgressAfterMs);
  box.setAutoReset(false);
  box.setAutoClose(false);
  QObject::connect(&box, &QProgressDialog::canceled, &box, [this, &box] {
    m_cancel = true;
    box.setLabelText(kCancelling);
  });
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &box, [this, &box, range] {
    const int value = static_cast<int>(std::min<long long>(m_workSteps.load(), range));
    box.setValue(value);
    if (m_progress != nullptr && m_progress->isVisible()) m_progress->setValue(value);
  });
  timer.start(kProgressTimerMs);

  QEventLoop loop;
  std::exception_ptr error;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  // The box needs the arrow, not the wait cursor the export holds.
  if (m_waitDepth > 0) QApplication::setOverrideCursor(Qt::ArrowCursor);
  loop.exec();
  if (m_waitDepth > 0) QApplication::restoreOverrideCursor();
  worker.join();
  timer.stop();
  m_inLongWork = false;
  m_cancel = false;
  if (error) std::rethrow_exception(error);
}

void CGuiPlatform::LogMessage(const std::string& text, bool showBox, bool writeToLog) {
  if (OnWorkerThread()) {
    OnWindowThread([&] { LogMessage(text, showBox, writeToLog); });
    return;
  }
  if (!showBox) return;
  // A box must not appear under a wait cursor.
  const bool waiting = m_waitDepth > 0;
  if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
  ShowMessageBox(m_window, ToQ(text));
  if (waiting) QApplication::restoreOverrideCursor();
}

bool CGuiPlatform::AskYesNo(const std::string& question) {
  if (OnWorkerThread()) {
    bool yes = false;
    OnWindowThread([&] { yes = AskYesNo(question); });
    return yes;
  }
  QMessageBox box(QMessageBox::Question, kAppTitle, ToQ(question),
                  QMessageBox::Yes | QMessageBox::No, m_window);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

OverwriteAnswer CGuiPlatform::AskOverwrite(const std::string& question) {
  if (OnWorkerThread()) {
    OverwriteAnswer answer = OverwriteAnswer::Cancel;
    OnWindowThread([&] { answer = AskOverwrite(question); });
    return answer;
  }
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
  if (OnWorkerThread()) {
    OnWindowThread([this] { BeginWaitCursor(); });
    return;
  }
  ++m_waitDepth;
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CGuiPlatform::EndWaitCursor() {
  if (OnWorkerThread()) {
    OnWindowThread([this] { EndWaitCursor(); });
    return;
  }
  if (m_waitDepth == 0) return;
  --m_waitDepth;
  QApplication::restoreOverrideCursor();
}

void CGuiPlatform::ProgressBegin(int range) {
  if (OnWorkerThread()) {
    OnWindowThread([this, range] { ProgressBegin(range); });
    return;
  }
  if (m_progress == nullptr) return;
  m_progress->setRange(0, range > 0 ? range : 1);
  m_progress->setValue(0);
  m_progress->show();
  m_shownPercent = 0;
  m_progress->repaint();
}

void CGuiPlatform::ProgressStep() {
  if (OnWorkerThread()) {
    ++m_workSteps;
    return;
  }
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
  if (OnWorkerThread()) {
    OnWindowThread([this] { ProgressEnd(); });
    return;
  }
  if (m_progress == nullptr) return;
  m_progress->hide();
  m_progress->reset();
}

void CGuiPlatform::SetStatusText(const std::string& text) {
  if (OnWorkerThread()) {
    OnWindowThread([&] { SetStatusText(text); });
    return;
  }
  if (m_status == nullptr) return;
  m_status->setText(ToQ(text));
  m_status->repaint();
}
