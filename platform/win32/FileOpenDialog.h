// "&Browse": the common file-open dialog (GetOpenFileNameW) with the title, filter, default
// extension and initial name that the dialog's logic asks for.
#pragma once

#include "Win32.h"

#include <optional>
#include <string>

#include "DialogPlatform.h"

namespace kestrel::win32 {

// A filter in the logic's form, "Tiff Files (*.tif)|*.tif||", as GetOpenFileNameW takes it:
// description and pattern pairs, each ended by a null character, and one more at the end.
std::wstring WindowsFilter(const std::string& filter);

// Runs the dialog, owned by `owner`; the chosen full path, or nothing when the user cancels.
// An initial name the dialog refuses (one with characters no file name may hold) is dropped,
// and the dialog opens without one.
std::optional<std::string> RunFileOpenDialog(HWND owner, const FileOpenRequest& request);

} // namespace kestrel::win32
