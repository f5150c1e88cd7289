#include "HelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

#include "ControlIds.h"
#include "MessageBoxes.h"
#include "Resources.h"
#include "uMessageStyle.h"

#ifndef KESTREL_DATA_DIR
#define KESTREL_DATA_DIR "/usr/local/share/kestrel"
#endif

namespace kestrel::qt {
namespace {

QPointer<QTextBrowser>& Window() {
    static QPointer<QTextBrowser> window;
    return window;
}

// Style flags of the catalogue's installation problems: error icon, OK.
constexpr int InstallationProblemStyle = TuStyleIconError | TuStyleOk;

} // namespace

QString HelpFileName() {
    return QStringLiteral("kestrel.html");
}

QStringList HelpFolders() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder, QDir::cleanPath(programFolder + QStringLiteral("/../share/kestrel")),
            QStringLiteral(KESTREL_DATA_DIR)};
}

namespace {

QString LocateFile(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.isFile() && candidate.isReadable()) {
            return candidate.absoluteFilePath();
        }
    }
    return QString();
}

} // namespace

QString LocateHelpFile(const QStringList& folders) {
    return LocateFile(HelpFileName(), folders);
}

QString LicenceFileName() {
    return QStringLiteral("LICENSE");
}

QString LocateLicenceFile(const QStringList& folders) {
    return LocateFile(LicenceFileName(), folders);
}

QString HelpAnchor(int topic) {
    if (topic == HelpTopicOfTemplate(IDD_ABOUTBOX)) {
        return QStringLiteral("about");
    }
    // The main dialog's topic is the guide's contents: the guide is about that dialog.
    return QStringLiteral("contents");
}

QTextBrowser* OpenHelpWindow(int topic, const QStringList& folders,
                             const MessageBoxFunction& showBox) {
    const QString path = LocateHelpFile(folders);
    if (path.isEmpty()) {
        QStringList shown;
        for (const QString& folder : folders) {
            shown << QDir::toNativeSeparators(folder);
        }
        const MessageBoxRequest request{
            QStringLiteral("Application Installation Problem"),
            QStringLiteral("The help file %1 cannot be found. Kestrel looks for it in these "
                           "folders: %2. Reinstall Kestrel to restore it.")
                .arg(HelpFileName(), shown.join(QStringLiteral(", "))),
            InstallationProblemStyle};
        ShowMessageBox(request, nullptr, showBox);
        return nullptr;
    }
    QPointer<QTextBrowser>& window = Window();
    if (window.isNull()) {
        // A window of its own, owned by nobody, so that modal dialogs do not block it.
        window = new QTextBrowser();
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QStringLiteral("Kestrel Help"));
        window->setWindowIcon(ApplicationIcon());
        window->setOpenExternalLinks(true);
        window->resize(760, 620);
    }
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(HelpAnchor(topic));
    // Within the same guide this only moves to the topic.
    window->setSource(url);
    window->scrollToAnchor(url.fragment());
    window->show();
    window->raise();
    window->activateWindow();
    return window.data();
}

void CloseHelpWindow() {
    delete Window().data();
}

} // namespace kestrel::qt
