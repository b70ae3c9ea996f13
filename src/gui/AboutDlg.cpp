#include "gui/AboutDlg.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>

#include "gui/AppIcon.h"

namespace {

QLabel* TextIn(QWidget* parent, const QString& text, int pixelHeight, int weight) {
  auto* label = new QLabel(text, parent);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixelHeight);
  font.setWeight(static_cast<QFont::Weight>(weight));
  label->setFont(font);
  return label;
}

}  // namespace

CAboutDlg::CAboutDlg(const QString& version, QWidget* parent) : QDialog(parent) {
  setWindowTitle(kTitle);
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIcon().pixmap(32, 32));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(16);
  grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
  grid->addWidget(TextIn(this, kNameText, 18, QFont::Bold), 0, 1);
  grid->addWidget(TextIn(this, kInfoText, 12, QFont::Medium), 1, 1);
  grid->addWidget(TextIn(this, kVersionPrefix + version, 14, QFont::Medium), 2, 1);
  grid->addWidget(buttons, 0, 2, 1, 1, Qt::AlignTop);
  setMinimumWidth(300);
}
