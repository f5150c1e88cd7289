#include "AboutBox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "AboutDialog.h"
#include "ControlIds.h"
#include "HelpTopics.h"

namespace kestrel::qt {

AboutBox::AboutBox(QWidget* parent, std::function<void(int topic)> openHelp,
                   const QString& licenceFile)
    : TemplateDialog(AboutTemplate(), parent,
                     Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      openHelp(std::move(openHelp)) {
    // Blocks only the main dialog, so that a help window opened from here stays usable.
    setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    AboutDialog logic(*this, licenceFile.toLocal8Bit().toStdString());
    logic.OnInitDialog();
    if (auto* ok = qobject_cast<QPushButton*>(Control(IDOK))) {
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        ok->setFocus();
    }
}

void AboutBox::SetControlText(int id, const std::string& text) {
    if (auto* label = qobject_cast<QLabel*>(Control(id))) {
        label->setText(QString::fromLocal8Bit(text));
    }
}

void AboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        if (openHelp) {
            openHelp(HelpTopicOfTemplate(IDD_ABOUTBOX));
        }
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept(); // OK is the only button and the default
        return;
    }
    TemplateDialog::keyPressEvent(event);
}

} // namespace kestrel::qt
