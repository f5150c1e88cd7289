// Helpers for the tests of the application icon: icon theme folders laid out in temporary
// folders, and comparing pictures by their pixels.
#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include "Resources.h"

namespace kestrel::qt::test {

// Copies the built-in icon of `size` into `theme` as the file of `asSize`.
inline void InstallIcon(const QString& theme, int size, int asSize) {
    const QString target = ApplicationIconFile(theme, asSize);
    QDir().mkpath(QFileInfo(target).path());
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(ApplicationIconFile(BuiltInIconTheme(), size), target)) << asSize;
}

// An icon theme with every size of the built-in icon.
inline void InstallAllIcons(const QString& theme) {
    for (const int size : ApplicationIconSizes()) {
        InstallIcon(theme, size, size);
    }
}

// The same pixels, whatever formats the two images were read in.
inline bool SamePicture(const QImage& first, const QImage& second) {
    return !first.isNull() && first.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
                                  second.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace kestrel::qt::test
