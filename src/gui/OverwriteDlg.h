#pragma once
// The four-button overwrite question of the batch export: the caller sets the
// question, runs the dialog and reads the answer. Closing it any other way
// than by its buttons answers Cancel.

#include <QDialog>

class QLabel;
class QPushButton;

class COverwriteDlg : public QDialog {
  Q_OBJECT

 public:
  enum Answer { kYes = 1, kYesToAll = 2, kNo = 3, kCancel = 4 };
  static constexpr const char* kTitle = "Kinex";

  explicit COverwriteDlg(QWidget* parent = nullptr);

  void SetQuestion(const QString& text);
  int Answer() const { return m_answer; }
  QPushButton* Button(int answer) const;

 public slots:
  void reject() override;

 private:
  void Finish(int answer);

  QLabel* m_question;
  QPushButton* m_buttons[4];
  int m_answer = kCancel;
};
