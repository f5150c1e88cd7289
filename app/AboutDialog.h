// AboutDialog: the logic of Kestrel's About box. Its only work is to put the disclaimer,
// which names the file that holds the licence, into its text field when it opens.
#pragma once

#include <string>
#include <utility>

#include "DialogPlatform.h"

namespace kestrel {

class AboutDialog {
public:
    // licenceFile: where the window found the licence; empty when it found none.
    AboutDialog(DialogControls& controls, std::string licenceFile)
        : controls(controls), licenceFile(std::move(licenceFile)) {}

    // Sets the disclaimer text (control 1024). Returns true so that the platform gives the
    // focus to the first control.
    bool OnInitDialog();

private:
    DialogControls& controls;
    std::string licenceFile;
};

} // namespace kestrel
