#pragma once
// Plots and the 3-D view saved as pictures at the size they are shown: PNG,
// or SVG (drawn again into the SVG generator, so lines stay lines).

#include <QString>

class QPoint;
class QWidget;

// By the name's extension: ".svg" an SVG picture, anything else PNG. False
// when the file could not be written.
bool SaveWidgetPicture(QWidget* widget, const QString& path);
// The context menu of a view: export as PNG or SVG, each asking for a name
// and reporting a failure in a message box.
void ShowPictureMenu(QWidget* widget, const QPoint& globalPos, const QString& baseName);
