// Shows the errors that the utility library raises in Qt message boxes.
#pragma once

namespace kestrel::qt {

// Installs the message box that TuError::Show uses: caption, body and the style flags of the
// error's category.
void InstallErrorPresenter();

} // namespace kestrel::qt
