// The file-open dialog behind "Browse". A test can take the dialog over with a hook: the
// hook gets the dialog as configured (not shown) and answers with a path or a cancel.
#pragma once

#include <QFileDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "DialogPlatform.h"

namespace kestrel::qt {

using FileDialogHook = std::function<std::optional<QString>(QFileDialog& dialog)>;

// With a hook installed the dialog goes to it instead of the screen; an empty hook restores
// the real dialog.
void SetFileDialogHook(FileDialogHook hook);

// A filter written as "description|patterns|...||" (patterns separated by ';') in the form
// the Qt dialog takes: "description (patterns)" entries separated by ";;".
QString QtNameFilters(const std::string& filter);

// The dialog that RunFileOpenDialog would run, not yet shown.
std::unique_ptr<QFileDialog> BuildFileOpenDialog(const FileOpenRequest& request, QWidget* parent);

// Runs the dialog; the chosen file's full path, or nothing when the user cancels.
std::optional<std::string> RunFileOpenDialog(const FileOpenRequest& request, QWidget* parent);

} // namespace kestrel::qt
