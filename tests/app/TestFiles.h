// Files for the dialog's tests: a temporary folder, small TIFFs written byte by byte, text
// files, and the GDAL tools as makers of GeoTIFFs and as the oracle of a file's geotransform.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TemporaryFolder.h"

namespace testfiles {

// A scratch folder, removed with everything in it when the object ends.
class TempFolder {
public:
    TempFolder() : path(MakeTemporaryFolder("kestrel-dialog-")) {
        if (path.empty()) {
            ADD_FAILURE() << "no scratch folder could be made";
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& name) const { return path + TestPathSeparator + name; }
    std::string path;
};

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

inline bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

// No write permission for anyone; on Windows, the read-only attribute.
inline void MakeReadOnly(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::permissions(PathOf(path),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, error);
    ASSERT_FALSE(error) << path;
}

// A world file's six lines.
inline void WriteWorldFile(const std::string& path, const std::array<double, 6>& values) {
    std::string text;
    for (double value : values) {
        char line[64];
        std::snprintf(line, sizeof line, "%.17g\n", value);
        text += line;
    }
    WriteText(path, text);
}

// The numbers of a text file, one per line.
inline std::vector<double> ReadNumbers(const std::string& path) {
    std::istringstream in(ReadText(path));
    std::vector<double> numbers;
    double value = 0;
    while (in >> value) {
        numbers.push_back(value);
    }
    return numbers;
}

// A little-endian TIFF of one 8-bit grey pixel with the given DOUBLE tags, written byte by
// byte so that tests control exactly which GeoTIFF tags exist and how many values they hold.
struct SmallTiff {
    std::vector<unsigned char> bytes;
    std::map<std::uint16_t, std::size_t> valueOffsets; // where each DOUBLE tag's values lie
    std::size_t pixelOffset = 0;
    static constexpr unsigned char Pixel = 0xA5;

    static SmallTiff Make(const std::map<std::uint16_t, std::vector<double>>& doubleTags) {
        struct Entry {
            std::uint16_t tag, type;
            std::uint32_t count, value;
        };
        std::vector<Entry> entries = {{256, 3, 1, 1}, {257, 3, 1, 1}, {258, 3, 1, 8},
                                      {259, 3, 1, 1}, {262, 3, 1, 1}, {273, 4, 1, 0},
                                      {277, 3, 1, 1}, {278, 3, 1, 1}, {279, 4, 1, 1}};
        const std::size_t entryCount = entries.size() + doubleTags.size();
        const std::size_t directorySize = 2 + 12 * entryCount + 4;
        SmallTiff tiff;
        std::size_t next = 8 + directorySize;
        for (const auto& [tag, values] : doubleTags) {
            tiff.valueOffsets[tag] = next;
            entries.push_back({tag, 12, static_cast<std::uint32_t>(values.size()),
                               static_cast<std::uint32_t>(next)});
            next += 8 * values.size();
        }
        tiff.pixelOffset = next;
        entries[5].value = static_cast<std::uint32_t>(next);

        auto put16 = [&](std::uint16_t v) {
            tiff.bytes.push_back(static_cast<unsigned char>(v));
            tiff.bytes.push_back(static_cast<unsigned char>(v >> 8));
        };
        auto put32 = [&](std::uint32_t v) {
            put16(static_cast<std::uint16_t>(v));
            put16(static_cast<std::uint16_t>(v >> 16));
        };
        tiff.bytes = {'I', 'I', 42, 0};
        put32(8);
        put16(static_cast<std::uint16_t>(entryCount));
        for (const Entry& e : entries) {
            put16(e.tag);
            put16(e.type);
            put32(e.count);
            // SHORT values lie in the entry's first two bytes.
            if (e.type == 3) {
                put16(static_cast<std::uint16_t>(e.value));
                put16(0);
            } else {
                put32(e.value);
            }
        }
        put32(0);
        for (const auto& [tag, values] : doubleTags) {
            for (double value : values) {
                unsigned char raw[8];
                std::memcpy(raw, &value, 8); // the host is little-endian like the file
                tiff.bytes.insert(tiff.bytes.end(), raw, raw + 8);
            }
        }
        tiff.bytes.push_back(Pixel);
        return tiff;
    }

    void Write(const std::string& path) const { WriteBytes(path, bytes); }
};

// Reads n doubles at a byte offset of a little-endian file.
inline std::vector<double> DoublesAt(const std::string& path, std::size_t offset, std::size_t n) {
    const std::vector<unsigned char> bytes = ReadBytes(path);
    std::vector<double> values;
    for (std::size_t i = 0; i < n && offset + 8 * (i + 1) <= bytes.size(); ++i) {
        double value = 0;
        std::memcpy(&value, bytes.data() + offset + 8 * i, 8);
        values.push_back(value);
    }
    return values;
}

// Runs a shell command; returns its standard output, or nothing when it failed.
inline std::optional<std::string> Run(const std::string& command) {
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return std::nullopt;
    }
    std::string output;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    if (pclose(pipe) != 0) {
        return std::nullopt;
    }
    return output;
}

// A 4 x 3 GeoTIFF made by GDAL whose upper left corner is at (west, north) with square pixels
// of `size` ground units; without a corner, a TIFF without any georeferencing. `options` are
// more options of gdal_create (creation options, say).
inline void MakeGdalTiff(const std::string& path, std::optional<std::pair<double, double>> corner,
                         double size = 2, const std::string& options = "") {
    std::string command = "gdal_create -q -of GTiff -outsize 4 3 -bands 1 -ot Byte " + options;
    if (corner) {
        std::ostringstream bounds;
        bounds.precision(17);
        bounds << " -a_srs EPSG:32633 -a_ullr " << corner->first << ' ' << corner->second << ' '
               << corner->first + 4 * size << ' ' << corner->second - 3 * size;
        command += bounds.str();
    }
    ASSERT_TRUE(Run(command + " '" + path + "'")) << command;
}

// The geotransform that GDAL reads for a raster (from its tags or its world file).
inline std::optional<std::array<double, 6>> GdalGeoTransform(const std::string& path) {
    const std::optional<std::string> json = Run("gdalinfo -json '" + path + "'");
    if (!json) {
        return std::nullopt;
    }
    std::size_t at = json->find("\"geoTransform\"");
    if (at == std::string::npos || (at = json->find('[', at)) == std::string::npos) {
        return std::nullopt;
    }
    std::array<double, 6> transform{};
    const char* cursor = json->c_str() + at + 1;
    for (double& value : transform) {
        char* end = nullptr;
        value = std::strtod(cursor, &end);
        if (end == cursor) {
            return std::nullopt;
        }
        cursor = end;
        while (*cursor == ',' || *cursor == ' ' || *cursor == '\n' || *cursor == '\r') {
            ++cursor;
        }
    }
    return transform;
}

} // namespace testfiles
