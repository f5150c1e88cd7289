// The reports of `info` as a stream: one JSON array however many files, JSON lines, text blocks.
#include "ReportStream.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace kestrel::cli;

namespace {

FileReport Missing(const std::string& file) {
    FileReport report;
    report.file = file;
    report.error = ErrorReport{std::nullopt, "kestrel-cli", "Indicated file does not exist."};
    return report;
}

std::string Written(ReportFormat format, int files) {
    std::ostringstream out;
    ReportStream stream(out, format);
    for (int i = 0; i < files; ++i) {
        stream.Write(Missing(std::to_string(i) + ".tif"));
    }
    stream.End();
    return out.str();
}

std::string MissingJson(int i) {
    return "{\"file\": \"" + std::to_string(i) +
           ".tif\", \"tiff\": null, \"worldFile\": null, \"error\": {\"cause\": null, "
           "\"caption\": \"kestrel-cli\", \"message\": \"Indicated file does not exist.\"}}";
}

} // namespace

TEST(report_stream_test, json_is_one_array_for_any_number_of_files) {
    EXPECT_EQ(Written(ReportFormat::Json, 0), "[\n]\n");
    EXPECT_EQ(Written(ReportFormat::Json, 1), "[\n  " + MissingJson(0) + "\n]\n");
    EXPECT_EQ(Written(ReportFormat::Json, 3), "[\n  " + MissingJson(0) + ",\n  " + MissingJson(1) +
                                                  ",\n  " + MissingJson(2) + "\n]\n");
}

TEST(report_stream_test, json_lines_and_text) {
    EXPECT_EQ(Written(ReportFormat::JsonLines, 0), "");
    EXPECT_EQ(Written(ReportFormat::JsonLines, 2), MissingJson(0) + "\n" + MissingJson(1) + "\n");
    EXPECT_EQ(Written(ReportFormat::Text, 0), "");
    EXPECT_EQ(Written(ReportFormat::Text, 2), "0.tif\n\n1.tif\n");
}

// Each line of --jsonl reaches the stream's consumer as soon as the file is done.
TEST(report_stream_test, each_json_line_is_flushed) {
    // A stream buffer that passes on only what is flushed.
    struct Buffered : std::streambuf {
        std::string held;
        std::string& passed;
        explicit Buffered(std::string& passed) : passed(passed) {}
        int overflow(int c) override {
            held += static_cast<char>(c);
            return c;
        }
        int sync() override {
            passed += held;
            held.clear();
            return 0;
        }
    };
    std::string passed;
    Buffered buffer(passed);
    std::ostream buffered(&buffer);
    ReportStream stream(buffered, ReportFormat::JsonLines);
    stream.Write(Missing("0.tif"));
    EXPECT_EQ(passed, MissingJson(0) + "\n");
    EXPECT_EQ(buffer.held, "");
}
