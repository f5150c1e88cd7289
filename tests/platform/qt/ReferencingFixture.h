// A fixture for the main window's tests: real TIFF files written by GDAL in a temporary
// folder, the program's string table installed, the window's message boxes and file dialog
// answered and recorded, and helpers to read and drive the window's controls.
#pragma once

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTextStream>
#include <gtest/gtest.h>
#include <memory>

#include "ControlIds.h"
#include "DialogTexts.h"
#include "QtTestSupport.h"
#include "ReferencingWindow.h"

namespace kestrel::qt::test {

class ReferencingFixture : public ::testing::Test {
protected:
    void SetUp() override { InstallStringTable(); }

    // A 20 x 10 TIFF; georeferenced with 10 m pixels from (500000, 4650000) when asked.
    QString MakeTiff(const QString& name, bool georeferenced) {
        QStringList arguments{"-q", "-of", "GTiff", "-outsize", "20", "10", "-bands", "1"};
        if (georeferenced) {
            arguments << "-a_srs"
                      << "EPSG:32633"
                      << "-a_ullr"
                      << "500000"
                      << "4650000"
                      << "500200"
                      << "4649900";
        }
        QString path = folder.Path(name);
        arguments << path;
        EXPECT_EQ(QProcess::execute("gdal_create", arguments), 0) << "gdal_create failed";
        EXPECT_TRUE(QFile::exists(path));
        return path;
    }

    static void WriteWorldFile(const QString& path, const QStringList& lines) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
        QTextStream(&file) << lines.join('\n') << '\n';
    }

    std::unique_ptr<ReferencingWindow> OpenWindow() {
        auto window =
            std::make_unique<ReferencingWindow>(UserPrompts{boxes.Answer(), fileDialog.Answer()});
        EXPECT_TRUE(ShowActive(*window));
        QCoreApplication::processEvents();
        return window;
    }

    static QLineEdit* Edit(ReferencingWindow& window, int id) {
        return qobject_cast<QLineEdit*>(window.Control(id));
    }
    static QPushButton* Button(ReferencingWindow& window, int id) {
        return qobject_cast<QPushButton*>(window.Control(id));
    }
    static QString Text(ReferencingWindow& window, int id) {
        if (auto* label = qobject_cast<QLabel*>(window.Control(id))) {
            return label->text();
        }
        if (auto* button = Button(window, id)) {
            return button->text();
        }
        return Edit(window, id)->text();
    }
    static bool HasFocus(ReferencingWindow& window, int id) {
        return QApplication::focusWidget() == window.Control(id);
    }

    // Types into a field as the user does: click into it, replace its text, and Tab out.
    static void TypeAndTab(ReferencingWindow& window, int id, const QString& text) {
        QLineEdit* edit = Edit(window, id);
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        Enter(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
        QCoreApplication::processEvents();
    }

    // Replaces a field's text by typing, without leaving the field.
    static void Retype(ReferencingWindow& window, int id, const QString& text) {
        QLineEdit* edit = Edit(window, id);
        edit->setFocus();
        QCoreApplication::processEvents();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        Enter(edit, text);
    }

    // Key clicks for plain ASCII; other text arrives as the user pastes it.
    static void Enter(QLineEdit* edit, const QString& text) {
        bool ascii = true;
        for (QChar c : text) {
            ascii = ascii && c.unicode() < 128;
        }
        if (ascii) {
            QTest::keyClicks(edit, text);
        } else {
            edit->insert(text);
        }
    }

    static void Click(ReferencingWindow& window, int id) {
        QTest::mouseClick(Button(window, id), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    TempFolder folder;
    // The window's message boxes, answered with OK, and its file dialog, cancelled unless
    // given an answer.
    MessageBoxRecorder boxes;
    FileDialogRecorder fileDialog;
};

} // namespace kestrel::qt::test
