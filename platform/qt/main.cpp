// Kestrel's desktop program: checks for a display, starts Qt, installs the message box for
// errors and runs the main dialog; the process ends when the dialog closes. With
// --check-installation it opens the dialog, reports where it found its guide and its icon,
// and ends (see InstallationCheck.h).
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "ApplicationStart.h"
#include "DialogTexts.h"
#include "DisplayCheck.h"
#include "ErrorPresenter.h"
#include "HelpViewer.h"
#include "InstallationCheck.h"
#include "ReferencingWindow.h"
#include "Resources.h"

int main(int argc, char* argv[]) {
    const kestrel::qt::EnvironmentReader environment = [](const char* name) {
        return std::getenv(name);
    };
    const std::string missingDisplay = kestrel::qt::MissingDisplayMessage(environment);
    if (!missingDisplay.empty()) {
        std::fprintf(stderr, "%s\n", missingDisplay.c_str());
        return 1;
    }

    const std::unique_ptr<QApplication> application = kestrel::qt::StartApplication(
        argc, argv, kestrel::qt::UnreachableDisplayMessage(environment));
    QApplication::setApplicationName(QStringLiteral("kestrel"));
    QApplication::setDesktopFileName(QStringLiteral("kestrel"));
    QApplication::setWindowIcon(kestrel::qt::ApplicationIcon());
    kestrel::InstallStringTable();

    const bool checkInstallation =
        QCoreApplication::arguments().contains(QStringLiteral("--check-installation"));
    // The dialog's result is not the program's: closing it is the normal end either way. Only
    // the installation check ends with a status of its own.
    int status = 0;
    {
        kestrel::qt::ReferencingWindow window;
        const kestrel::qt::ErrorPresenter errors(&window);
        QObject::connect(&window, &QDialog::finished, application.get(), &QApplication::quit);
        window.show();
        if (checkInstallation) {
            QCoreApplication::processEvents();
            status = kestrel::qt::PrintInstallationReport(kestrel::qt::CheckInstallation(
                window, kestrel::qt::HelpFolders(), kestrel::qt::InstalledIconTheme()));
        } else {
            QApplication::exec();
        }
        kestrel::qt::CloseHelpWindow();
    }
    return status;
}
