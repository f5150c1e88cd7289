// Kestrel's desktop program: checks for a display, starts Qt, installs the message box for
// errors and runs the main dialog; the process ends when the dialog closes.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "DialogTexts.h"
#include "DisplayCheck.h"
#include "ErrorPresenter.h"
#include "HelpViewer.h"
#include "MessageBoxes.h"
#include "ReferencingWindow.h"
#include "Resources.h"

int main(int argc, char* argv[]) {
    const std::string missingDisplay =
        kestrel::qt::MissingDisplayMessage([](const char* name) { return std::getenv(name); });
    if (!missingDisplay.empty()) {
        std::fprintf(stderr, "%s\n", missingDisplay.c_str());
        return 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrel"));
    QApplication::setDesktopFileName(QStringLiteral("kestrel"));
    QApplication::setWindowIcon(kestrel::qt::ApplicationIcon());
    kestrel::qt::InstallErrorPresenter();
    kestrel::InstallStringTable();

    {
        kestrel::qt::ReferencingWindow window;
        kestrel::qt::SetMessageBoxParent(&window);
        QObject::connect(&window, &QDialog::finished, &application, &QApplication::quit);
        window.show();
        QApplication::exec();
        kestrel::qt::SetMessageBoxParent(nullptr);
        kestrel::qt::CloseHelpWindow();
    }
    // The dialog's result is not the program's: closing it is the normal end either way.
    return 0;
}
