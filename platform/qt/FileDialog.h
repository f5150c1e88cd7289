// The file-open dialog behind "Browse". A test can answer it in place of the user: the answer
// gets the dialog as configured (not shown) and gives a path or a cancel.
#pragma once

#include <QFileDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "DialogPlatform.h"

namespace kestrel::qt {

// Answers the dialog in place of the user: the chosen path, or nothing for a cancel.
using FileDialogAnswer = std::function<std::optional<QString>(QFileDialog& dialog)>;

// A filter written as "description|patterns|...||" (patterns separated by ';') in the form
// the Qt dialog takes: "description (patterns)" entries separated by ";;".
QString QtNameFilters(const std::string& filter);

// The dialog that RunFileOpenDialog would run, not yet shown.
std::unique_ptr<QFileDialog> BuildFileOpenDialog(const FileOpenRequest& request, QWidget* parent);

// Runs the dialog (or has it answered, where an answer is given); the chosen file's full
// path, or nothing when the user cancels.
[[nodiscard]] std::optional<std::string> RunFileOpenDialog(const FileOpenRequest& request,
                                                           QWidget* parent,
                                                           const FileDialogAnswer& answer = {});

} // namespace kestrel::qt
