#include "AboutBox.h"

#include "AboutDialog.h"
#include "ControlIds.h"
#include "HelpPages.h"
#include "HelpTopics.h"
#include "MessageBoxes.h"
#include "ProgramFiles.h"
#include "WideText.h"

namespace kestrel::win32 {
namespace {

class AboutBoxControls : public DialogControls {
public:
    explicit AboutBoxControls(HWND box) : box(box) {}

    void SetControlText(int id, const std::string& text) override {
        SetDlgItemTextW(box, id, Widen(text).c_str());
    }

private:
    HWND box;
};

INT_PTR CALLBACK AboutBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        AboutBoxControls controls(box);
        AboutDialog logic(controls, Narrow(FileBesideProgram(L"LICENSE")));
        return logic.OnInitDialog() ? TRUE : FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(box, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        if (const auto problem =
                OpenHelpPage(box, HelpTopicOfTemplate(IDD_ABOUTBOX), ProgramFolder())) {
            ShowMessageBox(box, *problem);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunAboutBox(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUTBOX), owner,
                    AboutBoxProcedure, 0);
}

} // namespace kestrel::win32
