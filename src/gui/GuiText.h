#pragma once
// Small shared pieces of the desktop program: the application's title in
// message boxes, the modal message box every error goes through, and the
// conversions between the core's texts and paths and Qt's strings.

#include <QString>
#include <filesystem>
#include <string>

class QWidget;

inline constexpr const char* kAppTitle = "Kinex2";

// Modal box with an OK button and the warning icon; waits for the user.
void ShowMessageBox(QWidget* parent, const QString& text);

// The core's texts are UTF-8, but labels, descriptions and names read from
// files of older systems are often Latin-1. A text that is not valid UTF-8
// as a whole is taken as Latin-1, where every byte is a character, rather
// than shown with replacement marks.
QString ToQ(const std::string& s);
inline std::string FromQ(const QString& s) {
  return s.toStdString();
}
std::filesystem::path PathFromQ(const QString& s);
QString PathToQ(const std::filesystem::path& p);
