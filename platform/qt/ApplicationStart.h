// Starting Qt's application object under watch. When its display platform cannot start (a
// display that is not running, say), Qt aborts the process with a message about its
// plug-ins; Kestrel prints its own message instead and ends with exit status 1.
#pragma once

#include <QApplication>
#include <memory>
#include <string>

namespace kestrel::qt {

// The application object; or, when the display platform cannot start, `failure` on standard
// error and the end of the process with status 1. Qt's own messages while it starts are held
// back: they are passed on once it has started, and dropped when it fails.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv, const std::string& failure);

} // namespace kestrel::qt
