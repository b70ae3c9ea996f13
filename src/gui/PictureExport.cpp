#include "gui/PictureExport.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QWidget>

#include "gui/GuiText.h"

namespace {

constexpr const char* kPngAction = "Export Picture as &PNG...";
constexpr const char* kSvgAction = "Export Picture as &SVG...";
constexpr const char* kPngFilter = "PNG pictures (*.png)";
constexpr const char* kSvgFilter = "SVG pictures (*.svg)";
constexpr const char* kExportTitle = "Export Picture";
constexpr const char* kWriteFailed = "The picture could not be written to %1.";

void AskAndSave(QWidget* widget, const QString& baseName, bool svg) {
  const QString suffix = svg ? ".svg" : ".png";
  QString path = QFileDialog::getSaveFileName(widget, kExportTitle, baseName + suffix,
                                              svg ? kSvgFilter : kPngFilter);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += suffix;
  if (!SaveWidgetPicture(widget, path)) {
    ShowMessageBox(widget, QString(kWriteFailed).arg(QDir::toNativeSeparators(path)));
  }
}

}  // namespace

bool SaveWidgetPicture(QWidget* widget, const QString& path) {
  if (QFileInfo(path).suffix().compare("svg", Qt::CaseInsensitive) == 0) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(widget->size());
    svg.setViewBox(QRect(QPoint(0, 0), widget->size()));
    svg.setTitle(widget->windowTitle());
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    widget->render(&painter);
    return painter.end() && QFileInfo(path).size() > 0;
  }
  // The picture as shown, one pixel per pixel of the widget.
  QPixmap picture(widget->size());
  picture.fill(Qt::white);
  widget->render(&picture);
  return picture.save(path, "PNG");
}

void ShowPictureMenu(QWidget* widget, const QPoint& globalPos, const QString& baseName) {
  QMenu menu(widget);
  menu.addAction(kPngAction, widget, [widget, baseName] { AskAndSave(widget, baseName, false); });
  menu.addAction(kSvgAction, widget, [widget, baseName] { AskAndSave(widget, baseName, true); });
  menu.exec(globalPos);
}
