// The program's own artwork: the application icon (icon 128) and the picture (bitmap 131).
// The icon is drawn once, artwork/kestrel.svg, and the build renders it at the icon theme's
// usual sizes. The installed theme files are what the desktop shows in its menus; the window
// and the About box read the same files, and fall back on the copies of those renderings
// compiled into the program when it runs from the build folder.
#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace kestrel::qt {

// The sizes of the application icon in pixels, smallest first.
QList<int> ApplicationIconSizes();
// The application icon's file of a size in an icon theme folder: SIZExSIZE/apps/kestrel.png.
QString ApplicationIconFile(const QString& iconTheme, int size);
// The hicolor theme of the installed layout: share/icons/hicolor beside the program's folder.
QString InstalledIconTheme();
// The theme folder compiled into the program.
QString BuiltInIconTheme();
// For each size, the theme's file when it is an image of that size, or else the built-in one.
QStringList ApplicationIconFiles(const QString& iconTheme = InstalledIconTheme());
// The application icon, read from those files.
QIcon ApplicationIcon(const QString& iconTheme = InstalledIconTheme());

// The picture of the main dialog (bitmap 131).
QPixmap PicturePixmap();
// A resource by its numeric id (IDR_MAINFRAME, IDB_PICTURE), at most `size` large and in its
// own proportions; a null pixmap for other ids.
QPixmap ResourcePixmap(int id, QSize size);

} // namespace kestrel::qt
