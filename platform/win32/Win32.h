// <windows.h> for Kestrel's Windows program. Its macros IDOK, IDCANCEL and IDHELP would
// rewrite the ids of ControlIds.h, and MessageBox the platform operation of that name (the
// dialogs' logic, built without this header, calls it MessageBox), so they are removed; this
// program calls MessageBoxW by its own name.
#pragma once

#include <windows.h>

#undef MessageBox
#undef IDOK
#undef IDCANCEL
#undef IDHELP
