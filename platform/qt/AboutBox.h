// The About box (template 100): the program's icon, name and release, and a short notice
// of the licence and the absence of any warranty that names the file holding the licence.
// OK or Esc closes it; F1 opens the help at the About topic. Its logic is AboutDialog's.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "DialogPlatform.h"
#include "HelpViewer.h"
#include "TemplateDialog.h"

namespace kestrel::qt {

class AboutBox : public TemplateDialog, public DialogControls {
    Q_OBJECT

public:
    // openHelp is called with the help topic when the user presses F1. licenceFile is the
    // licence the notice names; empty when there is none to name.
    AboutBox(QWidget* parent, std::function<void(int topic)> openHelp,
             const QString& licenceFile = LocateLicenceFile());

    // DialogControls.
    void SetControlText(int id, const std::string& text) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void(int topic)> openHelp;
};

} // namespace kestrel::qt
