// The help: the user guide kestrel.html (and the licence beside it), looked for beside the
// program and then in the installed data folder; the guide is shown in a help window of its
// own at a topic. The window is not blocked by the dialogs, so that the user can read while
// working.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextBrowser>

#include "HelpTopics.h"
#include "MessageBoxes.h"

namespace kestrel::qt {

QString HelpFileName();
// The folders searched, in order: the program's folder, ../share/kestrel beside it, and the
// data folder the program was built to be installed in.
QStringList HelpFolders();
// The first folder's guide that exists, or an empty text.
QString LocateHelpFile(const QStringList& folders);
// The licence, installed beside the guide: the first folder's that exists, or an empty text.
QString LicenceFileName();
QString LocateLicenceFile(const QStringList& folders = HelpFolders());
// The anchor in the guide where a topic (HelpTopics.h) starts.
QString HelpAnchor(int topic);

// Opens the help window at a topic, or raises it and moves there when it is already open.
// When the guide cannot be found, says so in a message box (shown by showBox where one is
// given) and returns nullptr.
QTextBrowser* OpenHelpWindow(int topic, const QStringList& folders = HelpFolders(),
                             const MessageBoxFunction& showBox = {});
// Closes and destroys the help window, if one is open.
void CloseHelpWindow();

} // namespace kestrel::qt
