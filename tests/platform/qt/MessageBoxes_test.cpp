#include "MessageBoxes.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "uMessageStyle.h"

using namespace kestrel::qt;

TEST(message_boxes_test, style_flags_choose_icon_and_buttons) {
    struct Case {
        int style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    const Case cases[] = {
        {TuStyleIconError | TuStyleOk, QMessageBox::Critical, QMessageBox::Ok},
        {TuStyleIconWarning | TuStyleOk, QMessageBox::Warning, QMessageBox::Ok},
        {TuStyleIconInformation | TuStyleOk, QMessageBox::Information, QMessageBox::Ok},
        {TuStyleIconQuestion | TuStyleOkCancel, QMessageBox::Question,
         QMessageBox::Ok | QMessageBox::Cancel},
        {TuStyleIconNone | TuStyleOk, QMessageBox::NoIcon, QMessageBox::Ok},
        {TuStyleIconQuestion | TuStyleYesNo, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No},
    };
    for (const Case& c : cases) {
        const auto box = BuildMessageBox({"Caption", "Body", c.style}, nullptr);
        EXPECT_EQ(box->icon(), c.icon) << c.style;
        EXPECT_EQ(box->standardButtons(), c.buttons) << c.style;
        EXPECT_NE(box->defaultButton(), nullptr) << c.style;
    }
}

TEST(message_boxes_test, texts_are_shown_as_they_are) {
    const auto box =
        BuildMessageBox({"Data File Format Problem", "File <a&b>.tif is not a TIFF file.",
                         TuStyleIconError | TuStyleOk},
                        nullptr);
    EXPECT_EQ(box->windowTitle(), "Data File Format Problem");
    EXPECT_EQ(box->text(), "File <a&b>.tif is not a TIFF file.");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST(message_boxes_test, an_answer_sees_and_answers_the_box) {
    test::MessageBoxRecorder recorder(QMessageBox::Cancel);
    EXPECT_EQ(ShowMessageBox({"Warning; Acknowledgement Required", "Go on?",
                              TuStyleIconQuestion | TuStyleOkCancel},
                             nullptr, recorder.Answer()),
              QMessageBox::Cancel);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].caption, "Warning; Acknowledgement Required");
    EXPECT_EQ(recorder.boxes[0].text, "Go on?");
    EXPECT_EQ(recorder.boxes[0].style, TuStyleIconQuestion | TuStyleOkCancel);
}

TEST(message_boxes_test, the_real_box_returns_the_button_pressed) {
    test::WhenModalShown([](QWidget* shown) {
        auto* box = qobject_cast<QMessageBox*>(shown);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Question");
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(ShowMessageBox({"Question", "OK or Cancel?", TuStyleIconQuestion | TuStyleOkCancel},
                             nullptr),
              QMessageBox::Cancel);

    test::WhenModalShown([](QWidget* shown) {
        QTest::keyClick(shown, Qt::Key_Return); // the default button: OK
    });
    EXPECT_EQ(ShowMessageBox({"Warning", "Only OK.", TuStyleIconWarning | TuStyleOk}, nullptr),
              QMessageBox::Ok);
}

TEST(message_boxes_test, application_title_is_the_program_name_without_extension) {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    EXPECT_EQ(ApplicationTitle(), program.completeBaseName());
    EXPECT_FALSE(ApplicationTitle().contains('/'));
}
