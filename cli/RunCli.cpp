#include "RunCli.h"

#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "CommandLine.h"
#include "FileSession.h"
#include "Report.h"

namespace kestrel::cli {
namespace {

// Standard error is tied to standard output: it is written only when there is a message, so
// that a quiet batch leaves standard output to its own buffering.
void PrintMessages(const FileSession& session, const std::string& file, std::ostream& err) {
    for (const ShownMessage& message : session.Messages())
        err << FormatMessage(message, file) << '\n';
}

int RunInfo(const Command& command, std::ostream& out, std::ostream& err) {
    int status = 0;
    if (command.json)
        out << "[\n";
    ConsolePlatform platform(ProgramName);
    for (std::size_t i = 0; i < command.files.size(); ++i) {
        const std::string& file = command.files[i];
        FileSession session(platform);
        if (!session.Take(file))
            status = 1;
        PrintMessages(session, file, err);
        const FileReport report = session.Report();
        if (command.json) {
            out << "  " << FormatJson(report) << (i + 1 < command.files.size() ? ",\n" : "\n");
        } else {
            if (i > 0)
                out << '\n';
            out << FormatText(report);
        }
    }
    if (command.json)
        out << "]\n";
    return status;
}

bool RunOnFile(const Command& command, FileSession& session) {
    if (!session.Take(command.files.front()))
        return false;
    switch (command.kind) {
    case CommandKind::TiffToWorld:
        return session.TiffToWorld();
    case CommandKind::WorldToTiff:
        return session.WorldToTiff();
    case CommandKind::SetTiff:
        return session.SetTiff(command.numbers);
    case CommandKind::SetWorld:
        return session.SetWorld(command.numbers);
    default:
        return false;
    }
}

int RunWriting(const Command& command, std::ostream& err) {
    int status = 0;
    ConsolePlatform platform(ProgramName);
    for (const std::string& file : command.files) {
        Command one = command;
        one.files = {file};
        FileSession session(platform);
        session.SetOptions({command.keepRotation, command.replaceControlPoints});
        if (!RunOnFile(one, session))
            status = 1;
        PrintMessages(session, file, err);
    }
    return status;
}

} // namespace

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const ParseResult parsed = ParseCommandLine(arguments);
    if (const UsageError* usage = std::get_if<UsageError>(&parsed)) {
        err << ProgramName << ": " << usage->message << '\n' << UsageText();
        return 2;
    }
    const Command& command = std::get<Command>(parsed);
    int status = 0;
    switch (command.kind) {
    case CommandKind::Help:
        out << HelpText();
        break;
    case CommandKind::Version:
        out << ProgramName << ' ' << ProgramVersion << '\n';
        break;
    case CommandKind::Info:
        status = RunInfo(command, out, err);
        break;
    default:
        status = RunWriting(command, err);
        break;
    }
    out.flush();
    if (!out) {
        err << ProgramName << ": standard output could not be written\n";
        return 1;
    }
    return status;
}

} // namespace kestrel::cli
