// The program's own artwork, compiled into the executable: icon 128 and picture 131.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kestrel::qt {

QIcon ApplicationIcon();
// The picture of the main dialog (bitmap 131).
QPixmap PicturePixmap();
// A resource by its numeric id (IDR_MAINFRAME, IDB_PICTURE); a null pixmap for others.
QPixmap ResourcePixmap(int id);

} // namespace kestrel::qt
