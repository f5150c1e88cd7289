// A fixed-size Qt dialog built from a dialog template: one widget per control, placed at the
// template's rectangle converted from dialog units with the dialog's font, in tab order.
#pragma once

#include <QDialog>
#include <map>
#include <vector>

#include "DialogTemplates.h"
#include "DialogUnits.h"

namespace kestrel::qt {

class TemplateDialog : public QDialog {
    Q_OBJECT

public:
    TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent, Qt::WindowFlags flags);

    const DialogTemplate& Template() const { return dialogTemplate; }
    const DialogUnits& Units() const { return units; }
    // The widget of a control by id, or nullptr (controls without an id have none).
    QWidget* Control(int id) const;
    // Every widget, in the template's order.
    const std::vector<QWidget*>& Widgets() const { return widgets; }

private:
    QWidget* CreateControl(const ControlTemplate& control);

    const DialogTemplate& dialogTemplate;
    DialogUnits units;
    std::vector<QWidget*> widgets;
    std::map<int, QWidget*> controlsById;
};

} // namespace kestrel::qt
