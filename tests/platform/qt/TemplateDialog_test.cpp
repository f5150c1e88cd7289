#include "TemplateDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

#include "ControlIds.h"
#include "QtTestSupport.h"

using namespace kestrel;
using namespace kestrel::qt;

TEST(template_dialog_test, controls_sit_where_the_template_puts_them) {
    TemplateDialog dialog(ReferencingTemplate(), nullptr, Qt::Window);
    const DialogUnits& units = dialog.Units();
    EXPECT_EQ(dialog.size(), units.ToPixels(352, 217));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "the dialog has a fixed size";
    EXPECT_EQ(dialog.windowTitle(), "Tiff/World File Referencing Examine/Edit");
    ASSERT_EQ(dialog.Widgets().size(), ReferencingTemplate().controls.size());
    for (std::size_t i = 0; i < dialog.Widgets().size(); ++i) {
        const ControlTemplate& control = ReferencingTemplate().controls[i];
        EXPECT_EQ(dialog.Widgets()[i]->geometry(),
                  units.ToPixels(control.x, control.y, control.width, control.height))
            << control.id << " " << control.text;
    }
    EXPECT_NE(qobject_cast<QLineEdit*>(dialog.Control(IDC_FILE_NAME)), nullptr);
    EXPECT_EQ(qobject_cast<QPushButton*>(dialog.Control(IDC_BROWSE))->text(), "&Browse");
    EXPECT_NE(qobject_cast<QLabel*>(dialog.Control(IDC_TIFF_STATUS)), nullptr);
    EXPECT_EQ(dialog.Control(IDC_STATIC), nullptr);
}

namespace {

// The controls that take the focus one after the other from the file name field, pressing
// key (with modifiers) once for each of them and once more.
std::vector<int> FocusWalk(TemplateDialog& dialog, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    dialog.Control(IDC_FILE_NAME)->setFocus();
    QCoreApplication::processEvents();
    std::vector<int> visited{IDC_FILE_NAME};
    for (int step = 0; step < 20; ++step) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        for (const ControlTemplate& control : ReferencingTemplate().controls) {
            if (control.id != IDC_STATIC &&
                dialog.Control(control.id) == QApplication::focusWidget()) {
                visited.push_back(control.id);
            }
        }
    }
    return visited;
}

} // namespace

// Tab goes through the fields and buttons in the order of the layout: file name, the TIFF
// side, the world side, the arrows, then Close and Help, and round to the file name again.
// Shift+Tab goes the same way back.
TEST(template_dialog_test, tab_walks_the_controls_in_template_order) {
    TemplateDialog dialog(ReferencingTemplate(), nullptr, Qt::Window);
    ASSERT_TRUE(test::ShowActive(dialog));
    std::vector<int> expected = {
        IDC_FILE_NAME,    IDC_BROWSE,        IDC_X_PIXEL_SCALE, IDC_Y_PIXEL_SCALE, IDC_TIE_PIXEL_X,
        IDC_TIE_PIXEL_Y,  IDC_TIE_WORLD_X,   IDC_TIE_WORLD_Y,   IDC_UPDATE_TIFF,   IDC_X_VECTOR_X,
        IDC_X_VECTOR_Y,   IDC_Y_VECTOR_X,    IDC_Y_VECTOR_Y,    IDC_REF_POINT_X,   IDC_REF_POINT_Y,
        IDC_UPDATE_WORLD, IDC_TIFF_TO_WORLD, IDC_WORLD_TO_TIFF, IDCANCEL,          IDHELP,
        IDC_FILE_NAME};
    EXPECT_EQ(FocusWalk(dialog, Qt::Key_Tab, Qt::NoModifier), expected);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(FocusWalk(dialog, Qt::Key_Tab, Qt::ShiftModifier), expected);
}

TEST(template_dialog_test, frames_never_cover_the_fields_they_surround) {
    TemplateDialog dialog(ReferencingTemplate(), nullptr, Qt::Window);
    for (int id = IDC_X_PIXEL_SCALE; id <= IDC_REF_POINT_Y; ++id) {
        QWidget* edit = dialog.Control(id);
        EXPECT_EQ(dialog.childAt(edit->geometry().center()), edit) << id;
    }
}

TEST(template_dialog_test, label_mnemonic_moves_to_its_field) {
    TemplateDialog dialog(ReferencingTemplate(), nullptr, Qt::Window);
    ASSERT_TRUE(test::ShowActive(dialog));
    dialog.Control(IDHELP)->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), dialog.Control(IDHELP));
    QTest::keyClick(&dialog, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), dialog.Control(IDC_FILE_NAME));
}

// Every number edit shows a negative number of 17 significant digits whole, as the user
// sees it: moving the cursor from its start to its end does not scroll the text.
TEST(template_dialog_test, number_edits_show_a_17_digit_negative_number_whole) {
    TemplateDialog dialog(ReferencingTemplate(), nullptr, Qt::Window);
    ASSERT_TRUE(test::ShowActive(dialog));
    const auto cursorX = [](QLineEdit* edit, int position) {
        edit->setCursorPosition(position);
        edit->grab(); // paints, which is where the edit scrolls to its cursor
        return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    };
    for (double number : {-0.00027777777777777778, -0.00098765432109876543, -1.2345678901234567e-05,
                          -8.8888888888888888e-300, -12345678.901234567}) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", number);
        for (int id = IDC_X_PIXEL_SCALE; id <= IDC_REF_POINT_Y; ++id) {
            auto* edit = qobject_cast<QLineEdit*>(dialog.Control(id));
            ASSERT_NE(edit, nullptr) << id;
            edit->setText(QString::fromLatin1(text));
            const int width = edit->fontMetrics().horizontalAdvance(edit->text());
            EXPECT_LT(width, edit->contentsRect().width()) << text << " in " << id;
            EXPECT_GE(cursorX(edit, edit->text().size()) - cursorX(edit, 0), width - 1)
                << text << " scrolls in " << id;
        }
    }
}
