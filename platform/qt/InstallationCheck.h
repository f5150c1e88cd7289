// The program's check of its installed layout (kestrel --check-installation): it finds and
// opens the guide as the Help button does, and compares the icon that the main window shows
// with the icon theme's files. Run from an unpacked package, it shows that the program finds
// its data beside itself and not where it was built.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace kestrel::qt {

struct InstallationReport {
    QStringList found;    // "guide: PATH" and "icon SIZExSIZE: PATH", one line each
    QStringList problems; // one sentence each; none when the installation is whole
};

// Opens the guide from the first of helpFolders that has it in the help window, and checks
// the window's icon at every size against the files of iconTheme.
InstallationReport CheckInstallation(const QWidget& window, const QStringList& helpFolders,
                                     const QString& iconTheme);
// Prints what was found on standard output and the problems on standard error; returns the
// program's exit status: 0 when there were none, 1 otherwise.
int PrintInstallationReport(const InstallationReport& report);

} // namespace kestrel::qt
