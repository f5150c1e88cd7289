// GeoTIFFs as they are found in the wild, made in a test's temporary folder by GDAL and by
// libgeotiff's geotifcp, and GDAL's reading of any file: the corpus and the oracle of the tests
// of placement (pixel-is-point, transformation matrices, ground control points, Z values,
// georeferencing in a later directory, world files under other names).
//
// Every maker returns an empty text on success and the command with its output otherwise, so
// that a test writes ASSERT_EQ(MakeX(...), "").
#pragma once

#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace geotiffcorpus {

// GDAL's order: ground X = [0] + column × [1] + row × [2], ground Y = [3] + column × [4] +
// row × [5], for the outer corner of the pixel at (column, row).
using Transform = std::array<double, 6>;

// The world file's six lines, in file order (A, D, B, E, C, F).
using WorldLines = std::array<double, 6>;

// The tools the corpus and the oracle use; a test without them is skipped.
#define REQUIRE_CORPUS_TOOLS()                                                                     \
    if (!geotiffcorpus::HaveTools()) {                                                             \
        GTEST_SKIP() << "GDAL, geotiff-bin or libtiff-tools is not installed";                     \
    }

// The interpreter that has GDAL's Python bindings on Debian, whatever comes first on PATH.
inline const char* const SystemPython = "/usr/bin/python3";

struct Output {
    bool ok = false;
    std::string text; // standard output, with standard error after it when asked for
};

inline Output Shell(const std::string& command, bool withErrors = false) {
    Output output;
    FILE* pipe = ::popen((command + (withErrors ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.text.append(buffer, got);
    }
    output.ok = ::pclose(pipe) == 0;
    return output;
}

// Runs a command that makes a file: empty on success, else the command and what it said.
inline std::string Make(const std::string& command) {
    const Output output = Shell(command, true);
    return output.ok ? std::string() : command + "\n" + output.text;
}

inline std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// 17 significant digits: a decimal form that reads back to the same double.
inline std::string Exact(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

inline bool HaveTools() {
    for (const char* tool :
         {"gdal_create", "gdal_translate", "gdalinfo", "geotifcp", "tiffset", "tiffinfo"}) {
        if (!Shell(std::string("command -v ") + tool).ok) {
            return false;
        }
    }
    return true;
}

// A scratch folder of the oracle's own, removed with its content.
class Scratch {
public:
    Scratch() {
        char pattern[] = "/tmp/kcorpusXXXXXX";
        const char* made = ::mkdtemp(pattern);
        path = made != nullptr ? made : "/tmp";
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string operator/(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::trunc) << text;
}

// ---- The oracle ----

// What gdalinfo -json says about a raster. Its numbers are printed with 16 decimals, so
// they agree with GDAL's own doubles to about 1e-16 of the larger coordinate (or 1e-16
// absolute), not bit for bit; GdalTransformExact gives the bits.
struct GdalReading {
    bool opened = false;
    std::optional<Transform> transform; // none when GDAL finds no geotransform
    std::size_t controlPoints = 0;
    std::string areaOrPoint; // the AREA_OR_POINT metadata item: "Area", "Point" or ""
};

// The numbers of the JSON array that follows key, read until its closing bracket.
inline std::vector<double> JsonNumbers(const std::string& json, const std::string& key) {
    std::vector<double> numbers;
    std::size_t at = json.find("\"" + key + "\"");
    if (at == std::string::npos || (at = json.find('[', at)) == std::string::npos) {
        return numbers;
    }
    const std::size_t end = json.find(']', at);
    for (++at; at < end;) {
        char* stop = nullptr;
        const double value = std::strtod(json.c_str() + at, &stop);
        if (stop == json.c_str() + at) {
            break;
        }
        numbers.push_back(value);
        at = json.find_first_not_of(" ,\n\r\t", static_cast<std::size_t>(stop - json.c_str()));
    }
    return numbers;
}

// GDAL's reading of a raster; with internalOnly, from the TIFF's own tags, ignoring any world
// file beside it (GDAL otherwise reads a world file when the tags give no geotransform).
// options are more of gdalinfo's arguments, such as "--config NAME VALUE".
inline GdalReading ReadWithGdal(const std::string& path, bool internalOnly = false,
                                const std::string& options = "") {
    GdalReading reading;
    const Output output =
        Shell("gdalinfo -json " + std::string(internalOnly ? "-oo GEOREF_SOURCES=INTERNAL " : "") +
              options + " " + Quote(path));
    if (!output.ok) {
        return reading;
    }
    reading.opened = true;
    const std::vector<double> numbers = JsonNumbers(output.text, "geoTransform");
    if (numbers.size() == 6) {
        reading.transform =
            Transform{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]};
    }
    const std::size_t list = output.text.find("\"gcpList\"");
    for (std::size_t at = output.text.find("\"pixel\":", list);
         list != std::string::npos && at != std::string::npos;
         at = output.text.find("\"pixel\":", at + 1)) {
        ++reading.controlPoints;
    }
    const std::string item = "\"AREA_OR_POINT\":\"";
    const std::size_t at = output.text.find(item);
    if (at != std::string::npos) {
        const std::size_t from = at + item.size();
        reading.areaOrPoint = output.text.substr(from, output.text.find('"', from) - from);
    }
    return reading;
}

// GDAL's geotransform bit for bit, through GDAL's Python bindings; none when GDAL finds none.
inline std::optional<Transform> GdalTransformExact(const std::string& path,
                                                   bool internalOnly = false) {
    const std::string script = "import sys\n"
                               "from osgeo import gdal\n"
                               "ds = gdal.OpenEx(sys.argv[1], open_options=sys.argv[2:])\n"
                               "t = ds.GetGeoTransform(can_return_null=True)\n"
                               "print(' '.join(v.hex() for v in t) if t else '')\n";
    const Output output = Shell(std::string(SystemPython) + " -c " + Quote(script) + " " +
                                Quote(path) + (internalOnly ? " GEOREF_SOURCES=INTERNAL" : ""));
    std::istringstream words(output.text);
    Transform transform{};
    for (double& value : transform) {
        std::string word;
        if (!(words >> word)) {
            return std::nullopt;
        }
        value = std::strtod(word.c_str(), nullptr);
    }
    return transform;
}

// The world file that GDAL writes for a raster (gdal_translate -co TFW=YES on a copy), its
// six values as GDAL prints them ("%.10f"); none when GDAL writes none (no geotransform, or
// ground control points).
inline std::optional<WorldLines> GdalWorldFile(const std::string& path) {
    Scratch scratch;
    if (!Shell("gdal_translate -q -co TFW=YES " + Quote(path) + " " + Quote(scratch / "c.tif"))
             .ok) {
        return std::nullopt;
    }
    std::ifstream in(scratch / "c.tfw");
    WorldLines lines{};
    for (double& value : lines) {
        if (!(in >> value)) {
            return std::nullopt;
        }
    }
    return lines;
}

// The checksums of every band as gdalinfo -checksum prints them: what an update of the
// georeferencing must leave as it was.
inline std::string GdalChecksums(const std::string& path) {
    const Output output = Shell("gdalinfo -checksum " + Quote(path));
    std::string checksums;
    std::istringstream lines(output.text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("Checksum=") != std::string::npos) {
            checksums += line + "\n";
        }
    }
    return output.ok ? checksums : "gdalinfo failed\n";
}

// What tiffinfo -D says about a file on standard error, but for its notices of tags it does not
// know (the GeoTIFF tags among them), one complaint per line.
inline std::vector<std::string> TiffinfoComplaints(const std::string& path) {
    const Output output = Shell("(tiffinfo -D " + Quote(path) + " 2>&1 >/dev/null)");
    std::vector<std::string> complaints;
    std::istringstream lines(output.text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("Unknown field with tag") == std::string::npos) {
            complaints.push_back(line);
        }
    }
    if (!output.ok) {
        complaints.emplace_back("tiffinfo failed");
    }
    return complaints;
}

// ---- Comparing with GDAL ----

// The bits of each value, so that -0 and 0 differ and a failure shows the last bit.
inline std::array<std::uint64_t, 6> Bits(const std::array<double, 6>& values) {
    std::array<std::uint64_t, 6> bits{};
    std::transform(values.begin(), values.end(), bits.begin(),
                   [](double value) { return std::bit_cast<std::uint64_t>(value); });
    return bits;
}

// Equal to 1e-9 of the larger magnitude, give or take half the last of the ten decimals that
// GDAL prints in a world file.
inline void ExpectClose(const std::array<double, 6>& actual, const std::array<double, 6>& expected,
                        const std::string& what) {
    for (std::size_t i = 0; i < 6; ++i) {
        const double tolerance =
            1e-9 * std::max(std::fabs(actual[i]), std::fabs(expected[i])) + 5e-11;
        EXPECT_NEAR(actual[i], expected[i], tolerance) << what << ", value " << i;
    }
}

// The pixels and the structure of a file, which an update of its georeferencing must leave as
// they were: GDAL's checksums and what tiffinfo complains of.
struct Intact {
    std::string checksums;
    std::vector<std::string> complaints;
};

inline Intact IntactBefore(const std::string& path) {
    return {GdalChecksums(path), TiffinfoComplaints(path)};
}

// The checksums as they were, and no complaint of tiffinfo that it did not make before.
inline void ExpectIntact(const std::string& path, const Intact& before) {
    EXPECT_EQ(GdalChecksums(path), before.checksums) << path;
    for (const std::string& complaint : TiffinfoComplaints(path)) {
        EXPECT_NE(std::find(before.complaints.begin(), before.complaints.end(), complaint),
                  before.complaints.end())
            << path << ": new complaint of tiffinfo: " << complaint;
    }
}

// ---- The corpus ----

// A grid of 4 × 3 pixels whose upper left corner is at (west, north), with pixels of width
// and height ground units (north up).
struct Grid {
    double west = 1000;
    double north = 2000;
    double width = 2;
    double height = 3;
};
constexpr int Columns = 4;
constexpr int Rows = 3;

// A GeoTIFF without any georeferencing, pixels numbered from 1 so that checksums mean something.
inline std::string MakePlain(const std::string& path) {
    return Make("gdal_create -q -of GTiff -outsize 4 3 -bands 1 -ot Byte -burn 7 " + Quote(path));
}

// The plain GeoTIFF: ModelPixelScale and one tie point, pixel-is-area, written by GDAL.
inline std::string MakeNorthUp(const std::string& path, const Grid& grid = {}) {
    return Make("gdal_create -q -of GTiff -outsize 4 3 -bands 1 -ot Byte -burn 7 "
                "-a_srs EPSG:32633 -a_ullr " +
                Exact(grid.west) + " " + Exact(grid.north) + " " +
                Exact(grid.west + Columns * grid.width) + " " +
                Exact(grid.north - Rows * grid.height) + " " + Quote(path));
}

// The same placement written as pixel-is-point (GTRasterTypeGeoKey 2): GDAL stores the tie
// point at the centre of pixel (0, 0), half a pixel in from the corner.
inline std::string MakePixelIsPoint(const std::string& path, const Grid& grid = {}) {
    Scratch scratch;
    std::string made = MakeNorthUp(scratch / "area.tif", grid);
    if (!made.empty()) {
        return made;
    }
    return Make("gdal_translate -q -mo AREA_OR_POINT=Point " + Quote(scratch / "area.tif") + " " +
                Quote(path));
}

// A raster with exactly this geotransform, written by GDAL from a virtual raster (the
// GDAL of Debian 12 has no -a_gt). GDAL stores ModelTransformation 34264 for a rotated or
// south-up geotransform and ModelPixelScale with ModelTiepoint otherwise; pixelIsPoint makes it
// pixel-is-point, with the stored positions half a pixel in, as GDAL writes them.
inline std::string MakeWithTransform(const std::string& path, const Transform& transform,
                                     bool pixelIsPoint = false) {
    Scratch scratch;
    std::string made = MakePlain(scratch / "pixels.tif");
    if (!made.empty()) {
        return made;
    }
    WriteText(scratch / "t.vrt",
              "<VRTDataset rasterXSize=\"4\" rasterYSize=\"3\">\n"
              "  <SRS>EPSG:32633</SRS>\n"
              "  <GeoTransform>" +
                  Exact(transform[0]) + ", " + Exact(transform[1]) + ", " + Exact(transform[2]) +
                  ", " + Exact(transform[3]) + ", " + Exact(transform[4]) + ", " +
                  Exact(transform[5]) +
                  "</GeoTransform>\n"
                  "  <Metadata><MDI key=\"AREA_OR_POINT\">" +
                  (pixelIsPoint ? "Point" : "Area") +
                  "</MDI></Metadata>\n"
                  "  <VRTRasterBand dataType=\"Byte\" band=\"1\"><SimpleSource>"
                  "<SourceFilename relativeToVRT=\"1\">pixels.tif</SourceFilename>"
                  "<SourceBand>1</SourceBand></SimpleSource></VRTRasterBand>\n"
                  "</VRTDataset>\n");
    return Make("gdal_translate -q " + Quote(scratch / "t.vrt") + " " + Quote(path));
}

// One ground control point: a raster position and the ground position tied to it.
struct ControlPoint {
    double column, row, x, y, z = 0;
};

// A raster with ground control points only: ModelTiepoint holds one tie point per control
// point and there is no ModelPixelScale (gdal_translate -gcp).
inline std::string MakeWithControlPoints(const std::string& path,
                                         const std::vector<ControlPoint>& points,
                                         bool pixelIsPoint = false) {
    Scratch scratch;
    std::string made = MakePlain(scratch / "pixels.tif");
    if (!made.empty()) {
        return made;
    }
    std::string command = "gdal_translate -q -a_srs EPSG:32633";
    if (pixelIsPoint) {
        command += " -mo AREA_OR_POINT=Point";
    }
    for (const ControlPoint& point : points) {
        command += " -gcp " + Exact(point.column) + " " + Exact(point.row) + " " + Exact(point.x) +
                   " " + Exact(point.y) + " " + Exact(point.z);
    }
    return Make(command + " " + Quote(scratch / "pixels.tif") + " " + Quote(path));
}

// GeoTIFF tags exactly as given, written by libgeotiff's geotifcp: what GDAL never writes
// itself (a Z scale, tie points with Z, a matrix without rotation, a matrix beside pixel
// scale and tie point). An empty vector leaves its tag out; counts are as given.
struct HandTags {
    std::vector<double> pixelScale;
    std::vector<double> tiePoints;
    std::vector<double> matrix;
    bool pixelIsPoint = false;
};

inline std::string GeoTiffText(const HandTags& tags) {
    auto rows = [](const std::vector<double>& values, std::size_t perRow) {
        std::string text;
        for (std::size_t i = 0; i < values.size(); ++i) {
            text += (i % perRow == 0 ? "         " : " ") + Exact(values[i]);
            text += (i % perRow == perRow - 1 || i + 1 == values.size()) ? "\n" : "";
        }
        return text;
    };
    std::string text = "Geotiff_Information:\n   Version: 1\n   Key_Revision: 1.0\n"
                       "   Tagged_Information:\n";
    if (!tags.tiePoints.empty()) {
        text += "      ModelTiepointTag (" + std::to_string((tags.tiePoints.size() + 2) / 3) +
                ",3):\n" + rows(tags.tiePoints, 3);
    }
    if (!tags.pixelScale.empty()) {
        text += "      ModelPixelScaleTag (1," + std::to_string(tags.pixelScale.size()) + "):\n" +
                rows(tags.pixelScale, tags.pixelScale.size());
    }
    if (!tags.matrix.empty()) {
        text += "      ModelTransformationTag (" + std::to_string(tags.matrix.size() / 4) +
                ",4):\n" + rows(tags.matrix, 4);
    }
    return text +
           "      End_Of_Tags.\n   Keyed_Information:\n"
           "      GTModelTypeGeoKey (Short,1): ModelTypeProjected\n"
           "      GTRasterTypeGeoKey (Short,1): " +
           (tags.pixelIsPoint ? "RasterPixelIsPoint" : "RasterPixelIsArea") +
           "\n      ProjectedCSTypeGeoKey (Short,1): PCS_WGS84_UTM_zone_33N\n"
           "      End_Of_Keys.\n   End_Of_Geotiff.\n";
}

inline std::string MakeWithTags(const std::string& path, const HandTags& tags) {
    Scratch scratch;
    std::string made = MakePlain(scratch / "pixels.tif");
    if (!made.empty()) {
        return made;
    }
    WriteText(scratch / "tags.txt", GeoTiffText(tags));
    return Make("geotifcp -g " + Quote(scratch / "tags.txt") + " " + Quote(scratch / "pixels.tif") +
                " " + Quote(path));
}

// Georeferencing in the second directory only, an overview (SubfileType 1) of the image whose
// own directory holds an empty GeoKeyDirectory: GDAL reads the first directory's tags and
// finds no georeferencing. GDAL cannot write this; geotifcp copies the two images and tiffset
// marks the second one as an overview.
inline std::string MakeWithTagsInOverviewOnly(const std::string& path, const Grid& grid = {}) {
    Scratch scratch;
    std::string made = MakePlain(scratch / "pixels.tif");
    if (made.empty()) {
        made = MakeNorthUp(scratch / "placed.tif", grid);
    }
    if (made.empty()) {
        made = Make("geotifcp " + Quote(scratch / "pixels.tif") + " " +
                    Quote(scratch / "placed.tif") + " " + Quote(path));
    }
    return made.empty() ? Make("tiffset -d 1 -s 254 1 " + Quote(path)) : made;
}

// A world file of six lines, each value written so that it reads back exactly; under any
// name (sheet.tfw, sheet.TIFW, sheet.wld, ...).
inline void WriteWorldFile(const std::string& path, const WorldLines& lines) {
    std::string text;
    for (double value : lines) {
        text += Exact(value) + "\n";
    }
    WriteText(path, text);
}

} // namespace geotiffcorpus
