// Kestrel's desktop program: checks for a display, starts Qt, installs the message box for
// errors and runs the main dialog; the process ends when the dialog closes.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "ApplicationStart.h"
#include "DialogTexts.h"
#include "DisplayCheck.h"
#include "ErrorPresenter.h"
#include "HelpViewer.h"
#include "MessageBoxes.h"
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
    kestrel::qt::InstallErrorPresenter();
    kestrel::InstallStringTable();

    {
        kestrel::qt::ReferencingWindow window;
        kestrel::qt::SetMessageBoxParent(&window);
        QObject::connect(&window, &QDialog::finished, application.get(), &QApplication::quit);
        window.show();
        QApplication::exec();
        kestrel::qt::SetMessageBoxParent(nullptr);
        kestrel::qt::CloseHelpWindow();
    }
    // The dialog's result is not the program's: closing it is the normal end either way.
    return 0;
}
