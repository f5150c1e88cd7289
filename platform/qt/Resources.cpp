#include "Resources.h"

#include "ControlIds.h"

namespace kestrel::qt {

QIcon ApplicationIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/kestrel/kestrel-48.png"), QSize(48, 48));
    icon.addFile(QStringLiteral(":/kestrel/kestrel-128.png"), QSize(128, 128));
    return icon;
}

QPixmap PicturePixmap() {
    return QPixmap(QStringLiteral(":/kestrel/picture.png"));
}

QPixmap ResourcePixmap(int id) {
    switch (id) {
    case IDR_MAINFRAME:
        return QPixmap(QStringLiteral(":/kestrel/kestrel-128.png"));
    case IDB_PICTURE:
        return PicturePixmap();
    default:
        return QPixmap();
    }
}

} // namespace kestrel::qt
