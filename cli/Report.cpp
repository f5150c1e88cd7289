#include "Report.h"

#include "Json.h"

namespace kestrel::cli {
namespace {

void AppendJoined(std::string& line, const std::string* texts, int count) {
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            line += ' ';
        }
        line += texts[k];
    }
}

// Appends the parts one after the other, without building the temporaries of operator+.
template <class... Parts> void Append(std::string& out, const Parts&... parts) {
    (out.append(parts), ...);
}

void WriteTiff(JsonObject& object, const TiffReport& tiff) {
    object.String("kind", tiff.kind == TiffKind::BigTiff ? "bigtiff" : "classic");
    object.String("status", tiff.status);
    object.Boolean("writable", tiff.writable);
    object.Numbers("pixelScale", tiff.pixelScale);
    object.Object("tiePoint", [&](JsonObject& tiePoint) {
        tiePoint.Numbers("pixel", tiff.tiePixel);
        tiePoint.Numbers("world", tiff.tieWorld);
    });
    switch (tiff.tags.rasterType) {
    case TuRasterType::PixelIsArea:
        object.String("rasterType", "area");
        break;
    case TuRasterType::PixelIsPoint:
        object.String("rasterType", "point");
        break;
    case TuRasterType::Unknown:
        object.Null("rasterType");
        break;
    }
    if (tiff.tags.matrix) {
        object.Numbers("matrix", *tiff.tags.matrix);
    } else {
        object.Null("matrix");
    }
    object.Integer("tiePoints", static_cast<long long>(tiff.tags.tiePoints));
}

void WriteWorld(JsonObject& object, const WorldReport& world) {
    object.String("file", world.file);
    object.String("status", world.status);
    object.Boolean("writable", world.writable);
    object.Numbers("parameters", world.parameters);
    object.String("name", world.name);
}

void WriteError(JsonObject& object, const ErrorReport& error) {
    if (error.cause) {
        object.Integer("cause", *error.cause);
    } else {
        object.Null("cause");
    }
    object.String("caption", error.caption);
    object.String("message", error.message);
}

// A member that is an object when the report has the part, else null.
template <class Part, class Write>
void OptionalObject(JsonObject& object, const char* key, const std::optional<Part>& part,
                    Write write) {
    if (part) {
        object.Object(key, [&](JsonObject& inner) { write(inner, *part); });
    } else {
        object.Null(key);
    }
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
        AppendJoined(out, tiff.shown.data(), 2);
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
        AppendJoined(out, world.shown.data(), 6);
        out += '\n';
    }
    return out;
}

std::string FormatJson(const FileReport& report) {
    std::string out;
    JsonObject object(out);
    object.String("file", report.file);
    OptionalObject(object, "tiff", report.tiff, WriteTiff);
    OptionalObject(object, "worldFile", report.worldFile, WriteWorld);
    OptionalObject(object, "error", report.error, WriteError);
    object.End();
    return out;
}

std::string FormatMessage(const ShownMessage& message, const std::string& file) {
    if (message.isError) {
        return message.caption + ": " + message.text;
    }
    return message.caption + ": " + file + ": " + message.text;
}

} // namespace kestrel::cli
