#include "Report.h"

#include "Json.h"

namespace kestrel::cli {
namespace {

void AppendJoined(std::string& line, const std::string* texts, int count) {
    for (int k = 0; k < count; ++k) {
        if (k > 0)
            line += ' ';
        line += texts[k];
    }
}

// Appends the parts one after the other, without building the temporaries of operator+.
template <class... Parts> void Append(std::string& out, const Parts&... parts) {
    (out.append(parts), ...);
}

void AppendNumbers(std::string& out, const double* values, int count) {
    out += '[';
    for (int k = 0; k < count; ++k) {
        if (k > 0)
            out += ", ";
        AppendJsonNumber(out, values[k]);
    }
    out += ']';
}

void AppendKey(std::string& out, const char* key) {
    AppendJsonString(out, key);
    out += ": ";
}

} // namespace

std::string FormatText(const FileReport& report) {
    std::string out;
    out.reserve(512);
    Append(out, report.file, "\n");
    if (report.tiff) {
        const TiffReport& tiff = *report.tiff;
        Append(out, "  GeoTiff file:  ", tiff.status, "\n");
        Append(out, "    Updatable:   ", tiff.writable ? "yes" : "no", "\n");
        out += "    Pixel scale: ";
        AppendJoined(out, &tiff.shown[0], 2);
        out += "\n    Tie point:   pixel ";
        AppendJoined(out, &tiff.shown[2], 2);
        out += ", world ";
        AppendJoined(out, &tiff.shown[4], 2);
        out += '\n';
    }
    if (report.worldFile) {
        const WorldReport& world = *report.worldFile;
        Append(out, "  World file:    ", world.file, "\n");
        Append(out, "    Status:      ", world.status, "\n");
        Append(out, "    Writable:    ", world.writable ? "yes" : "no", "\n");
        out += "    A D B E C F: ";
        AppendJoined(out, &world.shown[0], 6);
        out += '\n';
    }
    return out;
}

std::string FormatJson(const FileReport& report) {
    std::string out = "{";
    AppendKey(out, "file");
    AppendJsonString(out, report.file);
    out += ", ";
    AppendKey(out, "tiff");
    if (report.tiff) {
        const TiffReport& tiff = *report.tiff;
        out += '{';
        AppendKey(out, "status");
        AppendJsonString(out, tiff.status);
        out += ", ";
        AppendKey(out, "writable");
        out += tiff.writable ? "true" : "false";
        out += ", ";
        AppendKey(out, "pixelScale");
        AppendNumbers(out, tiff.pixelScale.data(), 2);
        out += ", ";
        AppendKey(out, "tiePoint");
        out += '{';
        AppendKey(out, "pixel");
        AppendNumbers(out, tiff.tiePixel.data(), 2);
        out += ", ";
        AppendKey(out, "world");
        AppendNumbers(out, tiff.tieWorld.data(), 2);
        out += "}}";
    } else {
        out += "null";
    }
    out += ", ";
    AppendKey(out, "worldFile");
    if (report.worldFile) {
        const WorldReport& world = *report.worldFile;
        out += '{';
        AppendKey(out, "file");
        AppendJsonString(out, world.file);
        out += ", ";
        AppendKey(out, "status");
        AppendJsonString(out, world.status);
        out += ", ";
        AppendKey(out, "writable");
        out += world.writable ? "true" : "false";
        out += ", ";
        AppendKey(out, "parameters");
        AppendNumbers(out, world.parameters.data(), 6);
        out += '}';
    } else {
        out += "null";
    }
    out += ", ";
    AppendKey(out, "error");
    if (report.error) {
        const ErrorReport& error = *report.error;
        out += '{';
        AppendKey(out, "cause");
        if (error.cause)
            out += std::to_string(*error.cause);
        else
            out += "null";
        out += ", ";
        AppendKey(out, "caption");
        AppendJsonString(out, error.caption);
        out += ", ";
        AppendKey(out, "message");
        AppendJsonString(out, error.message);
        out += '}';
    } else {
        out += "null";
    }
    out += '}';
    return out;
}

std::string FormatMessage(const ShownMessage& message, const std::string& file) {
    if (message.isError)
        return message.caption + ": " + message.text;
    return message.caption + ": " + file + ": " + message.text;
}

} // namespace kestrel::cli
