#include "ApplicationStart.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <vector>

namespace kestrel::qt {
namespace {

// A message of Qt's, with copies of its context's texts.
struct HeldMessage {
    QtMsgType type;
    std::optional<std::string> file;
    int line;
    std::optional<std::string> function;
    std::optional<std::string> category;
    QString text;
};

// The start in progress. Qt may report from a thread of its own (the display connection's
// reader) as it starts, so the handler takes the lock.
std::mutex watchLock;
bool watching = false;
std::string failureMessage;
std::vector<HeldMessage> held;
QtMessageHandler previous = nullptr;

std::optional<std::string> Copy(const char* text) {
    return text != nullptr ? std::optional<std::string>(text) : std::nullopt;
}

const char* Pointer(const std::optional<std::string>& text) {
    return text ? text->c_str() : nullptr;
}

void HoldOrFail(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const std::lock_guard<std::mutex> lock(watchLock);
    if (!watching) {
        // Called just as the start ended: no longer held back.
        previous(type, context, text);
        return;
    }
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", failureMessage.c_str());
        std::fflush(stderr);
        // Qt would abort once this returns. Nothing of Kestrel's has started that would need
        // to end in order, and the half-built application object must not be destroyed.
        std::_Exit(1);
    }
    held.push_back({type, Copy(context.file), context.line, Copy(context.function),
                    Copy(context.category), text});
}

} // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv, const std::string& failure) {
    {
        const std::lock_guard<std::mutex> lock(watchLock);
        failureMessage = failure;
        watching = true;
        previous = qInstallMessageHandler(HoldOrFail);
    }
    auto application = std::make_unique<QApplication>(argc, argv);
    std::vector<HeldMessage> started;
    {
        const std::lock_guard<std::mutex> lock(watchLock);
        qInstallMessageHandler(previous);
        watching = false;
        started.swap(held);
    }
    for (const HeldMessage& message : started) {
        const QMessageLogContext context(Pointer(message.file), message.line,
                                         Pointer(message.function), Pointer(message.category));
        previous(message.type, context, message.text);
    }
    return application;
}

} // namespace kestrel::qt
