// Helpers shared by the Qt tests: temporary folders, recorded message boxes and file
// dialogs, and answering modal windows that a test's action opens.
#pragma once

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

#include "FileDialog.h"
#include "MessageBoxes.h"

#include <ostream>

// Readable QStrings in test failure messages.
inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << '"' << text.toStdString() << '"';
}
// GoogleTest prints containers element by element unless told otherwise: whole texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text;
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << "{";
    for (qsizetype i = 0; i < texts.size(); ++i) {
        *out << (i == 0 ? "\n  " : ",\n  ") << texts[i];
    }
    *out << "}";
}

namespace kestrel::qt::test {

// A temporary folder under /tmp, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder() : folder(QDir::tempPath() + QStringLiteral("/kestrel-qt-XXXXXX")) {}
    QString Path(const QString& name = QString()) const {
        return name.isEmpty() ? folder.path() : folder.filePath(name);
    }

private:
    QTemporaryDir folder;
};

// Answers message boxes in place of the user, for whatever is given its Answer: records each
// box, runs whenShown (if set) while the box would be up, and answers with `answer`.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : answer(answer) {}
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    MessageBoxFunction Answer() {
        return [this](const MessageBoxRequest& request) {
            boxes.push_back(request);
            if (whenShown) {
                whenShown(request);
            }
            return answer;
        };
    }

    std::vector<MessageBoxRequest> boxes;
    std::function<void(const MessageBoxRequest&)> whenShown;

private:
    QMessageBox::StandardButton answer;
};

// Answers the file dialog in place of the user, for whatever is given its Answer: records the
// dialog's configuration and answers with `answer`.
class FileDialogRecorder {
public:
    struct Seen {
        QString title;
        QStringList filters;
        QString defaultSuffix;
        QFileDialog::FileMode mode;
        QString directory;
        QStringList selected;
    };

    explicit FileDialogRecorder(std::optional<QString> answer = std::nullopt)
        : answer(std::move(answer)) {}
    FileDialogRecorder(const FileDialogRecorder&) = delete;
    FileDialogRecorder& operator=(const FileDialogRecorder&) = delete;

    FileDialogAnswer Answer() {
        return [this](QFileDialog& dialog) {
            seen.push_back({dialog.windowTitle(), dialog.nameFilters(), dialog.defaultSuffix(),
                            dialog.fileMode(), dialog.directory().absolutePath(),
                            dialog.selectedFiles()});
            return answer;
        };
    }

    std::optional<QString> answer;
    std::vector<Seen> seen;
};

// Once a modal window or popup other than `except` is up (within five seconds), calls
// `answer` with it. Used to answer windows that block the test's own call.
inline void WhenModalShown(const std::function<void(QWidget*)>& answer, QWidget* except = nullptr) {
    auto* timer = new QTimer();
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, except, started] {
        QWidget* shown = QApplication::activePopupWidget();
        if (shown == nullptr) {
            shown = QApplication::activeModalWidget();
        }
        if ((shown != nullptr && shown != except) || started->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
            if (shown != nullptr && shown != except) {
                answer(shown);
            }
        }
    });
    timer->start();
}

// Shows a window and waits until it is active, so that focus and keys reach it.
inline bool ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

} // namespace kestrel::qt::test
