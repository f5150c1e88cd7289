#include "DialogTemplates.h"

#include <QRect>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "ControlIds.h"

using namespace kestrel;
using namespace kestrel::qt;

namespace {

bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::PushButton ||
           kind == ControlKind::DefaultButton;
}

QRect RectOf(const ControlTemplate& control) {
    return QRect(control.x, control.y, control.width, control.height);
}

} // namespace

TEST(dialog_templates_test, controls_lie_inside_their_dialog_and_do_not_overlap) {
    for (const DialogTemplate* dialog : {&ReferencingTemplate(), &AboutTemplate()}) {
        const QRect client(0, 0, dialog->width, dialog->height);
        std::vector<const ControlTemplate*> interactive;
        for (const ControlTemplate& control : dialog->controls) {
            EXPECT_TRUE(client.contains(RectOf(control)))
                << dialog->id << ": " << control.id << " " << control.text;
            if (TakesFocus(control.kind)) {
                for (const ControlTemplate* other : interactive) {
                    EXPECT_FALSE(RectOf(control).intersects(RectOf(*other)))
                        << control.id << " overlaps " << other->id;
                }
                interactive.push_back(&control);
            }
        }
    }
}

TEST(dialog_templates_test, each_field_has_its_label_on_its_row) {
    // Every numeric edit has a label ending left of it whose rows overlap the edit's.
    const DialogTemplate& dialog = ReferencingTemplate();
    for (int id = IDC_X_PIXEL_SCALE; id <= IDC_REF_POINT_Y; ++id) {
        const ControlTemplate* edit = FindControl(dialog, id);
        ASSERT_NE(edit, nullptr) << id;
        int labels = 0;
        for (const ControlTemplate& control : dialog.controls) {
            if (control.kind == ControlKind::RightLabel && control.x + control.width <= edit->x &&
                control.x + control.width >= edit->x - 12 && control.y < edit->y + edit->height &&
                control.y + control.height > edit->y) {
                ++labels;
            }
        }
        EXPECT_EQ(labels, 1) << id;
    }
}

TEST(dialog_templates_test, captions_sizes_and_ids) {
    const DialogTemplate& main = ReferencingTemplate();
    EXPECT_EQ(main.id, IDD_REFERENCING);
    EXPECT_STREQ(main.caption, "Tiff/World File Referencing Examine/Edit");
    EXPECT_EQ(main.width, 352);
    EXPECT_EQ(main.height, 217);
    const DialogTemplate& about = AboutTemplate();
    EXPECT_EQ(about.id, IDD_ABOUTBOX);
    EXPECT_STREQ(about.caption, "About Kestrel");
    const ControlTemplate* ok = FindControl(about, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->kind, ControlKind::DefaultButton);
    EXPECT_NE(FindControl(about, IDC_DISCLAIMER), nullptr);
    EXPECT_EQ(FindControl(main, 4711), nullptr);
    EXPECT_EQ(FindControl(main, IDC_STATIC), nullptr) << "statics are never looked up by id";
}
