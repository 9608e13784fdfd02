#pragma once
// Panel_About: the version panel over the drawing area. It shows the version record
// of the running program (read by version_info) in a two-column grid; the main
// window fills it when activated, places and shows it from the Help menu.

#include <QFrame>

#include "ui/version_info.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace stelvo {

class TPanelAbout : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kWidth = 345;
  static constexpr int kHeight = 473;

  explicit TPanelAbout(QWidget* parent);

  // Reads the record of the file at path and writes the 17 rows of the grid.
  void FillVersionGrid(const QString& path);
  // Writes the rows of an already read record.
  void ShowVersionInfo(const TFileVersionInfo& info);
  // The grid's value cell of row 3: the file version.
  QString FileVersionCell() const;

  QLabel* Logo;
  QLabel* Label_Stelvo;
  QTableWidget* StringGrid_VersionsInfo;
  QPushButton* Button_About_OK;
};

}  // namespace stelvo
