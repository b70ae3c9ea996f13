#pragma once
// "Logging": whether messages are appended to a log file, which file, and
// whether information lines are left out. OK refuses, with a message, an empty
// file name while logging is enabled.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;

class CLoggingDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "Logging";
  static constexpr const char* kNeedFileText =
      "You need to enter a file name, if logging is enabled";

  explicit CLoggingDlg(QWidget* parent = nullptr);

  void SetValues(bool log, const QString& file, bool errorsOnly);
  bool Log() const;
  QString LogFile() const;
  bool ErrorsOnly() const;

  QCheckBox* LogCheck() const { return m_log; }
  QCheckBox* ErrorsOnlyCheck() const { return m_errorsOnly; }
  QLineEdit* FileEdit() const { return m_file; }

 public slots:
  void accept() override;

 private:
  QCheckBox* m_log;
  QCheckBox* m_errorsOnly;
  QLineEdit* m_file;
};
