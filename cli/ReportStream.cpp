#include "ReportStream.h"

#include "Report.h"

namespace kestrel::cli {

ReportStream::ReportStream(std::ostream& out, ReportFormat format) : out(out), format(format) {
    if (format == ReportFormat::Json) {
        out << "[\n";
    }
}

void ReportStream::Write(const FileReport& report) {
    switch (format) {
    case ReportFormat::Text:
        out << (written > 0 ? "\n" : "") << FormatText(report);
        break;
    case ReportFormat::Json:
        // The separator goes before an element: whether another follows is not known yet.
        out << (written > 0 ? ",\n  " : "  ") << FormatJson(report);
        break;
    case ReportFormat::JsonLines:
        out << FormatJson(report) << '\n' << std::flush;
        break;
    }
    ++written;
}

void ReportStream::End() {
    if (format == ReportFormat::Json) {
        out << (written > 0 ? "\n]\n" : "]\n");
    }
}

} // namespace kestrel::cli
