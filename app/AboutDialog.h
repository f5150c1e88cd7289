// AboutDialog: the logic of Kestrel's About box. Its only work is to put the disclaimer into
// its text field when it opens.
#pragma once

#include "DialogPlatform.h"

namespace kestrel {

class AboutDialog {
public:
    explicit AboutDialog(DialogPlatform& platform) : platform(platform) {}

    // Sets the disclaimer text (control 1024). Returns true so that the platform gives the
    // focus to the first control.
    bool OnInitDialog();

private:
    DialogPlatform& platform;
};

} // namespace kestrel
