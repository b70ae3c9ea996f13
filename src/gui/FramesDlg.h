#pragma once
// "Frames": the output frame range of a document. The caller sets the two
// information texts, the allowed minimum and maximum and the current range,
// runs the dialog and, on OK, reads the new range. OK closes only for a range
// with minimum <= first <= last <= maximum; anything else keeps it open.

#include <QDialog>

class QLabel;
class QLineEdit;

// The range test of the dialog, on its own for tests and callers.
bool FrameRangeAcceptable(long long minimum, long long maximum, long long first, long long last);

class CFramesDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "Frames";
  static constexpr const char* kFirstInfoFormat = "First Frame : %d";
  static constexpr const char* kLastInfoFormat = "Last Frame : %d";
  static constexpr const char* kNotANumberText = "Please enter a positive integer.";

  explicit CFramesDlg(QWidget* parent = nullptr);

  // The information texts, formatted from the recording's first and last frame.
  void SetInfo(int firstFrame, int lastFrame);
  void SetLimits(long long minimum, long long maximum);
  void SetRange(long long first, long long last);
  long long First() const { return m_first; }
  long long Last() const { return m_last; }

  QLineEdit* FirstEdit() const { return m_firstEdit; }
  QLineEdit* LastEdit() const { return m_lastEdit; }

 public slots:
  void accept() override;

 private:
  QLabel* m_firstInfo;
  QLabel* m_lastInfo;
  QLineEdit* m_firstEdit;
  QLineEdit* m_lastEdit;
  long long m_minimum = 0;
  long long m_maximum = 0;
  long long m_first = 0;
  long long m_last = 0;
};
