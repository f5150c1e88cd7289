// The About box (template 100): the program's icon, name and release, and a short notice
// of the licence and the absence of any warranty. OK or Esc closes it; F1 opens the help
// at the About topic.
#pragma once

#include <QString>
#include <functional>

#include "TemplateDialog.h"

namespace kestrel::qt {

// The notice shown in control 1024.
QString AboutNotice();

class AboutBox : public TemplateDialog {
    Q_OBJECT

public:
    // openHelp is called with the help topic when the user presses F1.
    AboutBox(QWidget* parent, std::function<void(int topic)> openHelp);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void(int topic)> openHelp;
};

} // namespace kestrel::qt
