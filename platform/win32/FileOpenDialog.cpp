#include "FileOpenDialog.h"

#include <commdlg.h>

#include <algorithm>

#include <vector>

#include "WideText.h"

namespace kestrel::win32 {

std::wstring WindowsFilter(const std::string& filter) {
    std::wstring parts = Widen(filter);
    // "||" ends the list; what follows it is not part of the filter.
    const std::size_t end = parts.find(L"||");
    if (end != std::wstring::npos) {
        parts.resize(end + 1);
    } else if (!parts.empty() && parts.back() != L'|') {
        parts += L'|';
    }
    for (wchar_t& unit : parts) {
        if (unit == L'|') {
            unit = L'\0';
        }
    }
    parts += L'\0';
    return parts;
}

namespace {

// Room for any path Windows can name, long-path form included.
constexpr std::size_t FileBufferUnits = 32768;

bool Run(HWND owner, const FileOpenRequest& request, const std::wstring& initialName,
         std::vector<wchar_t>& file) {
    const std::wstring title = Widen(request.title);
    const std::wstring filter = WindowsFilter(request.filter);
    const std::wstring extension = Widen(request.defaultExtension);
    std::fill(file.begin(), file.end(), L'\0');
    if (initialName.size() < file.size()) {
        std::copy(initialName.begin(), initialName.end(), file.begin());
    }
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (request.mustExist) {
        dialog.Flags |= OFN_FILEMUSTEXIST;
    }
    return GetOpenFileNameW(&dialog) != FALSE;
}

} // namespace

std::optional<std::string> RunFileOpenDialog(HWND owner, const FileOpenRequest& request) {
    std::vector<wchar_t> file(FileBufferUnits, L'\0');
    if (Run(owner, request, Widen(request.initialName), file)) {
        return Narrow(file.data());
    }
    // Not cancelled but refused: the initial name is one the dialog cannot show.
    if (CommDlgExtendedError() != 0 && !request.initialName.empty() &&
        Run(owner, request, std::wstring(), file)) {
        return Narrow(file.data());
    }
    return std::nullopt;
}

} // namespace kestrel::win32
