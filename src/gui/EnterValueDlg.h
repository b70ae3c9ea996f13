#pragma once
// "Enter Value": one prompt and one value. With the range check on, OK reads
// the text as a decimal number (0 when it is none) and stays open, without a
// message, while the number is outside [minimum, maximum].

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

// The number a value text stands for: its leading decimal number after
// optional blanks and sign, 0 when it does not start with one ("abc" is 0,
// "8.5x" is 8.5).
double LeadingNumber(const QString& text);

class CEnterValueDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "Enter Value";

  explicit CEnterValueDlg(QWidget* parent = nullptr);

  void Setup(const QString& prompt, bool rangeCheck, float minimum, float maximum);
  void SetValue(const QString& value);
  QString Value() const;
  QLineEdit* ValueEdit() const { return m_value; }

 public slots:
  void accept() override;

 private:
  QLabel* m_prompt;
  QLineEdit* m_value;
  bool m_rangeCheck = false;
  float m_minimum = 0;
  float m_maximum = 0;
};
