#include "ui/version_panel.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "ui/fonts.h"
#include "ui/pictures.h"

namespace stelvo {
namespace {

constexpr int kColumnWidth = 165;
constexpr int kRowHeight = 19;

}  // namespace

TPanelAbout::TPanelAbout(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Panel_About"));
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setAutoFillBackground(true);
  setFixedSize(kWidth, kHeight);

  Logo = new QLabel(this);
  Logo->setObjectName(QStringLiteral("Image_Logo"));
  Logo->setGeometry(6, 5, 26, 33);
  // Drawn proportionally: the square picture sits centred in the taller box.
  Logo->setAlignment(Qt::AlignCenter);
  Logo->setPixmap(QPixmap::fromImage(DrawCometPicture(QSize(26, 26))));

  Label_Stelvo = new QLabel(QStringLiteral("Stelvo"), this);
  Label_Stelvo->setObjectName(QStringLiteral("Label_Stelvo"));
  Label_Stelvo->setFont(WindowFont(20, true));
  Label_Stelvo->move(35, 10);
  Label_Stelvo->adjustSize();

  StringGrid_VersionsInfo = new QTableWidget(kVersionRows, 2, this);
  auto* grid = StringGrid_VersionsInfo;
  grid->setObjectName(QStringLiteral("StringGrid_VersionsInfo"));
  grid->setGeometry(6, 43, 335, 345);
  grid->setFont(WindowFont(13, true));
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setMinimumSectionSize(1);
  grid->verticalHeader()->setMinimumSectionSize(1);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
  grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int row = 0; row < kVersionRows; ++row) {
    for (int column = 0; column < 2; ++column) grid->setItem(row, column, new QTableWidgetItem);
  }

  Button_About_OK = new QPushButton(QStringLiteral("OK"), this);
  Button_About_OK->setObjectName(QStringLiteral("Button_About_OK"));
  Button_About_OK->setGeometry(133, 416, 89, 33);
}

void TPanelAbout::FillVersionGrid(const QString& path) { ShowVersionInfo(ReadVersionInfo(path)); }

void TPanelAbout::ShowVersionInfo(const TFileVersionInfo& info) {
  for (int row = 0; row < kVersionRows; ++row) {
    const VersionRow cells = VersionGridRow(info, row);
    StringGrid_VersionsInfo->item(row, 0)->setText(cells.label);
    StringGrid_VersionsInfo->item(row, 1)->setText(cells.value);
  }
}

QString TPanelAbout::FileVersionCell() const { return StringGrid_VersionsInfo->item(3, 1)->text(); }

}  // namespace stelvo
