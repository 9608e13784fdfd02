#pragma once
// The program's own small pictures, drawn in code: the comet that serves as the
// window icon and the version panel's logo, and the pictures of the menu entries.

#include <QIcon>
#include <QImage>
#include <QSize>

namespace stelvo {

// A comet with its tail on a small patch of night sky, filling size.
QImage DrawCometPicture(QSize size);
QIcon CometIcon();

// 16 x 16 pictures of the menu entries.
QIcon ExitMenuPicture();
QIcon HelpMenuPicture();
QIcon VersionMenuPicture();

}  // namespace stelvo
