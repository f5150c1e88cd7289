#include "InstallationCheck.h"

#include <QDir>
#include <QImage>
#include <QTextBrowser>
#include <cstdio>

#include "HelpViewer.h"
#include "Resources.h"

namespace kestrel::qt {
namespace {

void CheckGuide(const QStringList& helpFolders, InstallationReport& report) {
    const QString guide = LocateHelpFile(helpFolders);
    if (guide.isEmpty()) {
        QStringList shown;
        for (const QString& folder : helpFolders) {
            shown << QDir::toNativeSeparators(folder);
        }
        report.problems << QStringLiteral("The user guide %1 is in none of these folders: %2.")
                               .arg(HelpFileName(), shown.join(QStringLiteral(", ")));
        return;
    }
    const QTextBrowser* help = OpenHelpWindow(HelpContents, helpFolders);
    const bool shown =
        help != nullptr && help->source().toLocalFile() == guide && !help->document()->isEmpty();
    CloseHelpWindow();
    if (shown) {
        report.found << QStringLiteral("guide: %1").arg(guide);
    } else {
        report.problems << QStringLiteral("The user guide %1 cannot be shown.").arg(guide);
    }
}

// The same pixels, whatever formats the two images were read in.
bool SamePicture(const QImage& first, const QImage& second) {
    return first.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
           second.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void CheckIcon(const QWidget& window, const QString& iconTheme, InstallationReport& report) {
    for (const int size : ApplicationIconSizes()) {
        const QString file = ApplicationIconFile(iconTheme, size);
        const QImage installed(file);
        if (installed.size() != QSize(size, size)) {
            report.problems << QStringLiteral("The application icon of %1x%1 pixels is not "
                                              "installed as %2.")
                                   .arg(size)
                                   .arg(file);
        } else if (!SamePicture(window.windowIcon().pixmap(QSize(size, size)).toImage(),
                                installed)) {
            report.problems << QStringLiteral("The window's icon of %1x%1 pixels is not the "
                                              "installed %2.")
                                   .arg(size)
                                   .arg(file);
        } else {
            report.found << QStringLiteral("icon %1x%1: %2").arg(size).arg(file);
        }
    }
}

} // namespace

InstallationReport CheckInstallation(const QWidget& window, const QStringList& helpFolders,
                                     const QString& iconTheme) {
    InstallationReport report;
    CheckGuide(helpFolders, report);
    CheckIcon(window, iconTheme, report);
    return report;
}

int PrintInstallationReport(const InstallationReport& report) {
    for (const QString& line : report.found) {
        std::printf("%s\n", qPrintable(line));
    }
    for (const QString& problem : report.problems) {
        std::fprintf(stderr, "kestrel: %s\n", qPrintable(problem));
    }
    return report.problems.isEmpty() ? 0 : 1;
}

} // namespace kestrel::qt
