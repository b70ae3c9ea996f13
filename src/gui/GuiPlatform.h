#pragma once
// The platform seam served by the desktop program: message boxes and questions
// over the main window, the wait cursor, the progress bar in the status bar's
// second pane and the text of its first pane. The log file is not handled
// here; the application's platform wraps this one and adds it.

#include <QPointer>
#include <atomic>

#include "platform/Platform.h"

class QLabel;
class QProgressBar;
class QWidget;

class CGuiPlatform : public CPlatform {
 public:
  // The widgets belong to the main window and may go away before this object;
  // the calls then do nothing (boxes have no parent).
  CGuiPlatform(QWidget* window, QLabel* statusPane, QProgressBar* progress);

  void LogMessage(const std::string& text, bool showBox, bool writeToLog) override;
  bool AskYesNo(const std::string& question) override;
  OverwriteAnswer AskOverwrite(const std::string& question) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void ProgressBegin(int range) override;
  void ProgressStep() override;
  void ProgressEnd() override;
  void SetStatusText(const std::string& text) override;
  // The work runs on a worker thread under a window-modal progress box with
  // a Cancel button, shown once it has taken a moment; the window repaints,
  // resizes and plays on meanwhile.
  void RunLongWork(const std::string& title, const std::function<void()>& work) override;
  bool CancelRequested() const override { return m_cancel.load(std::memory_order_relaxed); }

  // The progress box of the running long work, if it is shown (for tests).
  static constexpr const char* kLongWorkBoxName = "LongWorkProgress";

 private:
  // Messages, questions and the status bar of a worker thread are served on
  // the window's thread, the worker waiting.
  bool OnWorkerThread() const;
  void OnWindowThread(const std::function<void()>& call);

  QPointer<QWidget> m_window;
  QPointer<QLabel> m_status;
  QPointer<QProgressBar> m_progress;
  int m_waitDepth = 0;
  int m_shownPercent = -1;
  bool m_inLongWork = false;
  std::atomic<long long> m_workSteps{0};  // steps of the worker, shown by a timer
  std::atomic<bool> m_cancel{false};
};
