#pragma once
// The About box: the program's name, a line of additional information and the
// version, each in its own Arial font, with the program icon and OK.

#include <QDialog>

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kTitle = "About Kinex";
  static constexpr const char* kNameText = "Orvane Kinex2";
  static constexpr const char* kInfoText = "Additional Information:";
  static constexpr const char* kVersionPrefix = "  Version : ";

  // `version` is the program's version string ("2.560").
  explicit CAboutDlg(const QString& version, QWidget* parent = nullptr);
};
