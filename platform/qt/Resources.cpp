#include "Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QImageReader>

#include "ControlIds.h"

namespace kestrel::qt {

QList<int> ApplicationIconSizes() {
    // The build's list of rendered sizes, so that the program and the package agree.
    return {KESTREL_ICON_SIZES};
}

QString ApplicationIconFile(const QString& iconTheme, int size) {
    return QStringLiteral("%1/%2x%2/apps/kestrel.png").arg(iconTheme).arg(size);
}

QString InstalledIconTheme() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/icons/hicolor"));
}

QString BuiltInIconTheme() {
    return QStringLiteral(":/kestrel/hicolor");
}

QStringList ApplicationIconFiles(const QString& iconTheme) {
    QStringList files;
    for (const int size : ApplicationIconSizes()) {
        const QString installed = ApplicationIconFile(iconTheme, size);
        // Only the header is read: a missing file, or one of another size, gives another size.
        const bool usable = QImageReader(installed).size() == QSize(size, size);
        files << (usable ? installed : ApplicationIconFile(BuiltInIconTheme(), size));
    }
    return files;
}

QIcon ApplicationIcon(const QString& iconTheme) {
    QIcon icon;
    const QList<int> sizes = ApplicationIconSizes();
    const QStringList files = ApplicationIconFiles(iconTheme);
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        icon.addFile(files[i], QSize(sizes[i], sizes[i]));
    }
    return icon;
}

QPixmap PicturePixmap() {
    return QPixmap(QStringLiteral(":/kestrel/picture.png"));
}

QPixmap ResourcePixmap(int id, QSize size) {
    switch (id) {
    case IDR_MAINFRAME:
        // The rendering of the nearest size, not a large one scaled down.
        return ApplicationIcon().pixmap(size);
    case IDB_PICTURE:
        return PicturePixmap().scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    default:
        return QPixmap();
    }
}

} // namespace kestrel::qt
