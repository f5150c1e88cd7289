// Kestrel's Windows program: turns on the current look of the common controls, installs the
// string table from the resources and runs the main dialog; the process ends when the dialog
// closes. There is no message loop of the program's own and no command line.
#include "Win32.h"

#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "MessageBoxes.h"
#include "ReferencingWindow.h"
#include "StringResources.h"
#include "uMessageStyle.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The file-open dialog and the shell, which opens the help, expect a single-threaded
    // apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    kestrel::win32::InstallStringResources(instance);
    {
        kestrel::win32::ReferencingWindow window;
        if (window.Run(instance) == -1) {
            const DWORD error = GetLastError();
            const TuMessage failure{std::nullopt, "Application Installation Problem",
                                    "Kestrel cannot show its dialog (Code: " +
                                        std::to_string(error) + "). Reinstall Kestrel.",
                                    TuStyleIconError | TuStyleOk};
            kestrel::win32::ShowMessageBox(nullptr, failure);
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 0;
}
