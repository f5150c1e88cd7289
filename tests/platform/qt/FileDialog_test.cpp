#include "FileDialog.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "QtTestSupport.h"

using namespace kestrel;
using namespace kestrel::qt;

namespace {

FileOpenRequest TiffRequest(const std::string& initialName) {
    FileOpenRequest request;
    request.title = "Tiff File Name";
    request.filter = "Tiff Files (*.tif)|*.tif||";
    request.defaultExtension = "tif";
    request.initialName = initialName;
    return request;
}

} // namespace

TEST(file_dialog_test, filters_in_qt_form) {
    EXPECT_EQ(QtNameFilters("Tiff Files (*.tif)|*.tif||"), "Tiff Files (*.tif)");
    EXPECT_EQ(QtNameFilters("Images|*.tif;*.tiff|All Files (*.*)|*.*||"),
              "Images (*.tif *.tiff);;All Files (*.*)");
    EXPECT_EQ(QtNameFilters("Tiff Files (*.tif)|*.tif"), "Tiff Files (*.tif)");
    // A description whose parentheses are not its patterns gets the real ones added.
    EXPECT_EQ(QtNameFilters("Tiff (ours)|*.tif||"), "Tiff (ours) (*.tif)");
    EXPECT_EQ(QtNameFilters(""), "");
    EXPECT_EQ(QtNameFilters("dangling"), "");
}

TEST(file_dialog_test, dialog_is_configured_from_the_request) {
    test::TempFolder folder;
    const QString initial = folder.Path("sheet.tif");
    const auto dialog =
        BuildFileOpenDialog(TiffRequest(QFile::encodeName(initial).toStdString()), nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Tiff File Name");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Tiff Files (*.tif)"});
    EXPECT_EQ(dialog->defaultSuffix(), "tif");
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(folder.Path()).canonicalPath());
}

TEST(file_dialog_test, answer_becomes_an_absolute_path_and_cancel_nothing) {
    test::TempFolder folder;
    {
        test::FileDialogRecorder answer(QStringLiteral("relative/name.tif"));
        const auto chosen = RunFileOpenDialog(TiffRequest(""), nullptr, answer.Answer());
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(QString::fromStdString(*chosen),
                  QDir::current().absoluteFilePath("relative/name.tif"));
        ASSERT_EQ(answer.seen.size(), 1u);
        EXPECT_EQ(answer.seen[0].title, "Tiff File Name");
    }
    {
        test::FileDialogRecorder answer(std::nullopt);
        EXPECT_FALSE(RunFileOpenDialog(TiffRequest(""), nullptr, answer.Answer()).has_value());
        EXPECT_EQ(answer.seen.size(), 1u);
    }
}

TEST(file_dialog_test, the_real_dialog_can_be_cancelled) {
    test::TempFolder folder;
    test::WhenModalShown([](QWidget* shown) {
        auto* dialog = qobject_cast<QFileDialog*>(shown);
        ASSERT_NE(dialog, nullptr);
        dialog->reject();
    });
    EXPECT_FALSE(RunFileOpenDialog(
                     TiffRequest(QFile::encodeName(folder.Path("a.tif")).toStdString()), nullptr)
                     .has_value());
}
