#include "TemplateDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionFrame>
#include <algorithm>

#include "Resources.h"

namespace kestrel::qt {
namespace {

QLabel* CreateLabel(const ControlTemplate& control, QWidget* parent, Qt::Alignment alignment,
                    bool wrap) {
    auto* label = new QLabel(QString::fromUtf8(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    label->setWordWrap(wrap);
    return label;
}

QLabel* CreatePicture(const ControlTemplate& control, QWidget* parent, QSize size) {
    auto* label = new QLabel(parent);
    const QPixmap pixmap = ResourcePixmap(control.link, size);
    if (!pixmap.isNull()) {
        label->setPixmap(pixmap);
    }
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// The text as shown, without the '&' that marks a mnemonic ("&&" shows one '&').
QString ShownText(const char* text) {
    QString shown = QString::fromUtf8(text);
    shown.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    shown.remove(QLatin1Char('&'));
    shown.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return shown;
}

// How much wider than its text a one-line edit of this font must be for the text to show
// without scrolling: the style's frame, the edit's margin on each side and the cursor.
int EditPadding(const QFont& font) {
    class Probe : public QLineEdit {
    public:
        int Padding() {
            QStyleOptionFrame option;
            initStyleOption(&option);
            const QRect contents =
                style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
            constexpr int textMargin = 2; // QLineEdit's own, left and right of the text
            return option.rect.width() - contents.width() + 2 * textMargin + 1;
        }
    };
    Probe probe;
    probe.setFont(font);
    probe.resize(200, 30);
    return probe.Padding();
}

// The widest text of a negative number with 17 significant digits: in fixed notation with
// the most leading zeros, or with a three-digit exponent.
int WidestNumberWidth(const QFontMetrics& metrics) {
    QChar widest = QLatin1Char('0');
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widest)) {
            widest = QLatin1Char(digit);
        }
    }
    const QString digits16(16, widest);
    const QString fixed = QStringLiteral("-0.000") + widest + digits16;
    const QString exponent = QStringLiteral("-") + widest + QLatin1Char('.') + digits16 +
                             QStringLiteral("e-") + QString(3, widest);
    return std::max(metrics.horizontalAdvance(fixed), metrics.horizontalAdvance(exponent));
}

// The font's dialog units, widened where a one-line text of the template would not fit its
// control: fonts differ in their proportions, and a label cut short is useless. Every edit
// shows a whole number of 17 significant digits: a number seen only in part misleads.
DialogUnits UnitsToFit(const DialogTemplate& dialogTemplate, const QFont& font) {
    const DialogUnits units = DialogUnits::ForFont(font);
    const QFontMetrics metrics(font);
    double baseWidth = units.BaseWidth();
    for (const ControlTemplate& control : dialogTemplate.controls) {
        int needed = 0;
        switch (control.kind) {
        case ControlKind::RightLabel:
        case ControlKind::CentredText:
            needed = metrics.horizontalAdvance(ShownText(control.text)) + 2;
            break;
        case ControlKind::PushButton:
        case ControlKind::DefaultButton:
            // The button's frame and margins.
            needed = metrics.horizontalAdvance(ShownText(control.text)) + 12;
            break;
        case ControlKind::Edit:
            needed = WidestNumberWidth(metrics) + EditPadding(font);
            break;
        default:
            continue;
        }
        baseWidth = std::max(baseWidth, needed * 4.0 / std::max(1, control.width));
    }
    return DialogUnits(baseWidth, units.BaseHeight());
}

} // namespace

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent,
                               Qt::WindowFlags flags)
    : QDialog(parent, flags), dialogTemplate(dialogTemplate),
      units(UnitsToFit(dialogTemplate, font())) {
    setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    setFixedSize(units.ToPixels(dialogTemplate.width, dialogTemplate.height));
    setSizeGripEnabled(false);

    QWidget* previousFocusable = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(control);
        widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height));
        widgets.push_back(widget);
        if (control.id != IDC_STATIC) {
            controlsById.emplace(control.id, widget);
        }
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previousFocusable != nullptr) {
                setTabOrder(previousFocusable, widget);
            }
            previousFocusable = widget;
        }
    }
    // Frames lie under the controls they surround, so that they never take their clicks.
    for (QWidget* widget : widgets) {
        if (qobject_cast<QGroupBox*>(widget) != nullptr) {
            widget->lower();
        }
    }
    // A label's mnemonic moves the focus to the control it names.
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        if (auto* label = qobject_cast<QLabel*>(widgets[i]);
            label != nullptr && control.kind == ControlKind::RightLabel && control.link != 0) {
            label->setTextFormat(Qt::AutoText);
            label->setBuddy(Control(control.link));
        }
    }
}

QWidget* TemplateDialog::Control(int id) const {
    const auto found = controlsById.find(id);
    return found == controlsById.end() ? nullptr : found->second;
}

QWidget* TemplateDialog::CreateControl(const ControlTemplate& control) {
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(text, this);
        edit->setFocusPolicy(Qt::StrongFocus);
        return edit;
    }
    case ControlKind::PushButton:
    case ControlKind::DefaultButton: {
        auto* button = new QPushButton(text, this);
        button->setFocusPolicy(Qt::StrongFocus);
        // Enter is routed by the dialogs themselves; a button never turns itself default.
        button->setAutoDefault(false);
        button->setDefault(control.kind == ControlKind::DefaultButton);
        return button;
    }
    case ControlKind::GroupBox: {
        // The title sits in the frame's top line, as in the template's design.
        auto* group = new QGroupBox(text, this);
        group->setStyleSheet(QStringLiteral(
            "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 0.5em; }"
            "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
            " left: 6px; padding: 0 3px; }"));
        return group;
    }
    case ControlKind::RightLabel:
        return CreateLabel(control, this, Qt::AlignRight | Qt::AlignVCenter, false);
    case ControlKind::CentredText:
        return CreateLabel(control, this, Qt::AlignHCenter | Qt::AlignTop, false);
    case ControlKind::Text:
        return CreateLabel(control, this, Qt::AlignLeft | Qt::AlignTop, true);
    case ControlKind::Picture:
    case ControlKind::Icon:
        return CreatePicture(control, this, units.ToPixels(control.width, control.height));
    }
    return new QWidget(this);
}

} // namespace kestrel::qt
