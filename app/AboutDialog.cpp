#include "AboutDialog.h"

#include "ControlIds.h"
#include "DialogTexts.h"

namespace kestrel {

bool AboutDialog::OnInitDialog() {
    // Without a file found, the name it has wherever Kestrel comes with it.
    const std::string licence = licenceFile.empty() ? std::string("LICENSE") : licenceFile;
    controls.SetControlText(IDC_DISCLAIMER, FillMessage(texts::Disclaimer, licence));
    return true;
}

} // namespace kestrel
