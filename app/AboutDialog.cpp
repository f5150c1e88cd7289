#include "AboutDialog.h"

#include "ControlIds.h"
#include "DialogTexts.h"

namespace kestrel {

bool AboutDialog::OnInitDialog() {
    platform.SetControlText(IDC_DISCLAIMER, texts::Disclaimer);
    return true;
}

} // namespace kestrel
