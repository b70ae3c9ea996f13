#pragma once
// The program's icon and the tool-bar pictures, drawn at run time so the
// program needs no image files.

#include <QIcon>

const QIcon& AppIcon();

enum class ToolPicture { Open, Save, SaveAs, Close, About, Help };
QIcon ToolIcon(ToolPicture picture);
