#include "RunCli.h"

#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "Batch.h"
#include "CommandLine.h"
#include "uOsConsole.h"
#include "uOsTerminal.h"

namespace kestrel::cli {

int RunCli(int argc, char** argv, const CliStreams& streams) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const ParseResult parsed = ParseCommandLine(arguments);
    if (const UsageError* usage = std::get_if<UsageError>(&parsed)) {
        streams.err << ProgramName << ": " << usage->message << '\n' << UsageText();
        return 2;
    }
    const auto& command = std::get<Command>(parsed);
    int status = 0;
    switch (command.kind) {
    case CommandKind::Help:
        streams.out << HelpText();
        break;
    case CommandKind::Version:
        streams.out << ProgramName << ' ' << ProgramVersion << '\n';
        break;
    default:
        status = Batch(command, streams).Run();
        break;
    }
    streams.out.flush();
    if (!streams.out) {
        streams.err << ProgramName << ": standard output could not be written\n";
        return 1;
    }
    return status;
}

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    // Reading a name of --files-from - would otherwise flush standard output each time.
    std::istream& in = TuStandardInput();
    in.tie(nullptr);
    return RunCli(argc, argv,
                  {in, out, err, TuOsIsTerminal(TuStandardStream::Output),
                   TuOsIsTerminal(TuStandardStream::Error)});
}

} // namespace kestrel::cli
