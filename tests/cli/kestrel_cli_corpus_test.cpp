// kestrel-cli on GeoTIFFs as they are found in the wild (pixel-is-point, transformation matrices,
// ground control points, Z values, world files under other names), made by GDAL and geotifcp in
// a temporary folder: what it reports, the world files it writes and GDAL's reading of every
// file it updates, compared with GDAL; and values carried between tags and world files, bit
// for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "GeoTiffCorpus.h"

namespace corpus = geotiffcorpus;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<double> Numbers(const std::string& path) {
    std::istringstream in(ReadText(path));
    std::vector<double> values;
    for (double value = 0; in >> value;) {
        values.push_back(value);
    }
    return values;
}

using corpus::Bits;

// The six numbers of a world file; zeros where it has fewer.
corpus::WorldLines WorldFileLines(const std::string& path) {
    const std::vector<double> numbers = Numbers(path);
    corpus::WorldLines lines{};
    std::copy_n(numbers.begin(), std::min(numbers.size(), lines.size()), lines.begin());
    return lines;
}

// A value of at most 51 significant bits whose last is worth 2^-fraction: the half-pixel steps
// between corner and centre are exact on such values.
double Dyadic(double value, int fraction) {
    return std::ldexp(std::round(std::ldexp(value, fraction)), -fraction);
}

class kestrel_cli_corpus_test : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_CORPUS_TOOLS(); }

    std::string Path(const std::string& name) const { return scratch / name; }

    CliRun Cli(const std::string& arguments) {
        const std::string err = Path("cli.err");
        const corpus::Output output =
            corpus::Shell("cd " + corpus::Quote(Path("")) + " && (" + std::string(KESTREL_CLI) +
                          " " + arguments + " 2>" + corpus::Quote(err) + "; echo \"status=$?\")");
        CliRun run;
        const std::size_t at = output.text.rfind("status=");
        run.out = output.text.substr(0, at);
        run.status = at == std::string::npos ? -1 : std::stoi(output.text.substr(at + 7));
        run.err = ReadText(err);
        return run;
    }

    // GDAL's geotransform from the file's own tags, bit for bit.
    corpus::Transform GdalTags(const std::string& name) {
        const auto transform = corpus::GdalTransformExact(Path(name), true);
        EXPECT_TRUE(transform.has_value()) << name << ": no geotransform";
        return transform.value_or(corpus::Transform{});
    }

    // The pixels and structure of a file before an update, and after it.
    corpus::Intact Before(const std::string& name) const {
        return corpus::IntactBefore(Path(name));
    }
    void ExpectIntact(const std::string& name, const corpus::Intact& before) const {
        corpus::ExpectIntact(Path(name), before);
    }

    // Writes the tags, then runs tiff-to-world, world-to-tiff and tiff-to-world: GDAL's
    // placement and the world file must come back bit for bit. Returns the world file.
    corpus::WorldLines ExpectRoundTrips(const corpus::HandTags& tags, const std::string& what) {
        EXPECT_EQ(corpus::MakeWithTags(Path("t.tif"), tags), "") << what;
        std::remove(Path("t.tfw").c_str());
        const corpus::Transform placed = GdalTags("t.tif");
        EXPECT_EQ(Cli("tiff-to-world t.tif").status, 0) << what;
        const corpus::WorldLines world = WorldFileLines(Path("t.tfw"));
        EXPECT_EQ(Cli("world-to-tiff t.tif").status, 0) << what;
        EXPECT_EQ(Bits(GdalTags("t.tif")), Bits(placed)) << what;
        EXPECT_EQ(Cli("tiff-to-world t.tif").status, 0) << what;
        EXPECT_EQ(Bits(WorldFileLines(Path("t.tfw"))), Bits(world)) << what;
        return world;
    }

    // The JSON object `info --json` prints for one file.
    std::string InfoJson(const std::string& name) {
        const CliRun run = Cli("info --json " + name);
        EXPECT_EQ(run.err, "") << name;
        const std::string prefix = "[\n  ";
        const std::string suffix = "\n]\n";
        if (run.out.size() < prefix.size() + suffix.size()) {
            return run.out;
        }
        return run.out.substr(prefix.size(), run.out.size() - prefix.size() - suffix.size());
    }
    std::string NoWorldFile(const std::string& base) const {
        return "\"worldFile\": {\"file\": \"" + Path(base + ".tfw") +
               "\", \"status\": \"Corresponding world file does not exist.\", \"writable\": "
               "true, \"parameters\": [0, 0, 0, 0, 0, 0], \"name\": \"" +
               base + ".tfw\"}, \"error\": null}";
    }

    corpus::Scratch scratch;
};

} // namespace

TEST_F(kestrel_cli_corpus_test, info_reports_each_kind_of_georeferencing) {
    ASSERT_EQ(corpus::MakePixelIsPoint(Path("point.tif")), "");
    ASSERT_EQ(corpus::MakeWithTransform(Path("rotated.tif"), {1000, 2, 0.25, 2000, 0.5, -3}), "");
    ASSERT_EQ(
        corpus::MakeWithControlPoints(
            Path("gcps.tif"), {{0, 0, 1000, 2000}, {4, 0, 1008, 2000}, {0, 3, 1000, 1991, 10}}),
        "");
    corpus::HandTags northUp;
    northUp.matrix = {2, 0, 0, 1000, 0, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1};
    northUp.pixelIsPoint = true;
    ASSERT_EQ(corpus::MakeWithTags(Path("matrix.tif"), northUp), "");
    ASSERT_EQ(corpus::MakeWithTagsInOverviewOnly(Path("overview.tif")), "");

    const std::string start = "{\"file\": \"";
    EXPECT_EQ(InfoJson("point.tif"),
              start + Path("point.tif") +
                  "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file is georeferenced, "
                  "pixel-is-point.\", "
                  "\"writable\": true, \"pixelScale\": [2, 3], \"tiePoint\": {\"pixel\": [0, 0], "
                  "\"world\": [1001, 1998.5]}, \"rasterType\": \"point\", \"matrix\": null, "
                  "\"tiePoints\": 1}, " +
                  NoWorldFile("point"));
    EXPECT_EQ(InfoJson("rotated.tif"),
              start + Path("rotated.tif") +
                  "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file has a rotated "
                  "matrix.\", \"writable\": "
                  "true, \"pixelScale\": [2, 3], \"tiePoint\": {\"pixel\": [0, 0], \"world\": "
                  "[1000.125, 2000.25]}, \"rasterType\": \"area\", \"matrix\": [2, 0.25, 0, 1000, "
                  "0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1], \"tiePoints\": 0}, " +
                  NoWorldFile("rotated"));
    EXPECT_EQ(InfoJson("gcps.tif"),
              start + Path("gcps.tif") +
                  "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file has 3 ground "
                  "control points.\", "
                  "\"writable\": true, \"pixelScale\": [0, 0], \"tiePoint\": {\"pixel\": [0, 0], "
                  "\"world\": [0, 0]}, \"rasterType\": \"area\", \"matrix\": null, \"tiePoints\": "
                  "3}, " +
                  NoWorldFile("gcps"));
    EXPECT_EQ(InfoJson("matrix.tif"),
              start + Path("matrix.tif") +
                  "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file is georeferenced "
                  "by a matrix.\", "
                  "\"writable\": true, \"pixelScale\": [2, 3], \"tiePoint\": {\"pixel\": [0, 0], "
                  "\"world\": [1000, 2000]}, \"rasterType\": \"point\", \"matrix\": [2, 0, 0, "
                  "1000, 0, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1], \"tiePoints\": 0}, " +
                  NoWorldFile("matrix"));
    // GDAL reads the first directory only, which has no georeferencing (and keys of no raster
    // type); the overview's tags are not the image's.
    EXPECT_EQ(InfoJson("overview.tif"),
              start + Path("overview.tif") +
                  "\", \"tiff\": {\"kind\": \"classic\", \"status\": \"Tiff file is NOT "
                  "georeferenced.\", \"writable\": "
                  "true, \"pixelScale\": [0, 0], \"tiePoint\": {\"pixel\": [0, 0], \"world\": [0, "
                  "0]}, \"rasterType\": null, \"matrix\": null, \"tiePoints\": 0}, " +
                  NoWorldFile("overview"));

    // A world file under another name is the one shown, and named.
    corpus::WriteWorldFile(Path("overview.WLD"), {2, 0, 0, -3, 1001, 1998.5});
    const CliRun text = Cli("info overview.tif");
    EXPECT_EQ(text.out, Path("overview.tif") +
                            "\n"
                            "  GeoTiff file:  Tiff file is NOT georeferenced.\n"
                            "    Updatable:   yes\n"
                            "    Pixel scale: 0 0\n"
                            "    Tie point:   pixel 0 0, world 0 0\n"
                            "  World file:    " +
                            Path("overview.WLD") +
                            "\n"
                            "    Status:      Corresponding world file (.WLD) exists.\n"
                            "    Writable:    yes\n"
                            "    A D B E C F: 2 0 0 -3 1001 1998.5\n");
}

TEST_F(kestrel_cli_corpus_test, tiff_to_world_writes_the_world_file_gdal_writes) {
    const corpus::Transform rotated{
        654321.123456789, 0.30000000000000004, 0.1, 4321987.987654321, 0.2, -0.7};
    ASSERT_EQ(corpus::MakeWithTransform(Path("rotated.tif"), rotated), "");
    ASSERT_EQ(corpus::MakeWithTransform(Path("rotated_point.tif"), rotated, true), "");
    ASSERT_EQ(corpus::MakeWithTransform(Path("south.tif"), {1000, 2, 0, 2000, 0, 3}), "");
    ASSERT_EQ(corpus::MakePixelIsPoint(Path("point.tif"),
                                       {654321.125, 4321987.75, 0.30000000000000004, 0.7}),
              "");
    corpus::HandTags z;
    z.pixelScale = {2.5, -0.75, 0.5}; // a negative Y scale, which GDAL reads as north-up
    z.tiePoints = {10, 20, 7, 654321.123456789, 4321987.987654321, 100};
    ASSERT_EQ(corpus::MakeWithTags(Path("z.tif"), z), "");
    const std::vector<std::string> names = {"rotated", "rotated_point", "south", "point", "z"};
    std::string files;
    for (const std::string& name : names) {
        files += " " + name + ".tif";
    }
    const CliRun run = Cli("tiff-to-world" + files);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const std::string& name : names) {
        const auto gdal = corpus::GdalWorldFile(Path(name + ".tif"));
        ASSERT_TRUE(gdal.has_value()) << name;
        EXPECT_EQ(Numbers(Path(name + ".tfw")).size(), 6u) << name;
        corpus::ExpectClose(WorldFileLines(Path(name + ".tfw")), *gdal, name);
    }
}

TEST_F(kestrel_cli_corpus_test, world_to_tiff_leaves_gdals_placement_of_pixel_is_point_files) {
    ASSERT_EQ(corpus::MakePixelIsPoint(Path("point.tif"), {1000.5, 2000.25, 0.5, 0.25}), "");
    const corpus::Intact before = Before("point.tif");
    const corpus::Transform placed = GdalTags("point.tif");
    corpus::WriteWorldFile(Path("point.tfw"), *corpus::GdalWorldFile(Path("point.tif")));
    const CliRun run = Cli("world-to-tiff point.tif");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Bits(GdalTags("point.tif")), Bits(placed));
    EXPECT_EQ(corpus::ReadWithGdal(Path("point.tif"), true).areaOrPoint, "Point");
    ExpectIntact("point.tif", before);
}

TEST_F(kestrel_cli_corpus_test, rotated_and_south_up_world_files_into_the_tags) {
    const corpus::WorldLines rotated{2, 0.5, 0.25, -3, 1001.125, 1998.75};
    const corpus::WorldLines southUp{2, 0, 0, 3, 1001.5, 2001.75};
    for (const char* name : {"keep", "approximate", "south"}) {
        ASSERT_EQ(corpus::MakePlain(Path(std::string(name) + ".tif")), "");
        corpus::WriteWorldFile(Path(std::string(name) + ".tfw"),
                               std::string(name) == "south" ? southUp : rotated);
    }
    const auto fromRotated = corpus::GdalTransformExact(Path("keep.tif"));
    const auto fromSouthUp = corpus::GdalTransformExact(Path("south.tif"));
    ASSERT_TRUE(fromRotated && fromSouthUp);
    const corpus::Intact before = Before("keep.tif");

    CliRun run = Cli("world-to-tiff --keep-rotation keep.tif south.tif");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "kestrel-cli: south.tif: World file indicates a south-up raster, which a "
                       "pixel scale cannot express.  Updating the Tiff file stores it as a "
                       "transformation matrix.\n");
    EXPECT_EQ(Bits(GdalTags("keep.tif")), Bits(*fromRotated));
    EXPECT_EQ(Bits(GdalTags("south.tif")), Bits(*fromSouthUp));
    const std::string listing = corpus::Shell("listgeo " + corpus::Quote(Path("keep.tif"))).text;
    EXPECT_NE(listing.find("ModelTransformationTag (4,4)"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("ModelPixelScaleTag"), std::string::npos) << listing;
    ExpectIntact("keep.tif", before);

    // Without the flag, the approximation with its warning.
    run = Cli("world-to-tiff approximate.tif");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "kestrel-cli: approximate.tif: World file indicates rotation.  This program "
                       "does not support the version of geoTiff's which supports rotation.  An "
                       "approximation is being used.\n");
    EXPECT_EQ(GdalTags("approximate.tif"), (corpus::Transform{1000.125, 2, 0, 2000.25, 0, -3}));

    // A TIFF whose rotated matrix is replaced by what set-tiff writes says so.
    run = Cli("set-tiff keep.tif --scale 2 3 --tie 0 0 1000 2000");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "kestrel-cli: keep.tif: The Tiff file is placed by a transformation matrix "
                       "with rotation, which a pixel scale and tie point cannot express.  The "
                       "update replaces it by the values shown, without rotation.\n");
    EXPECT_EQ(GdalTags("keep.tif"), (corpus::Transform{1000, 2, 0, 2000, 0, -3}));
    EXPECT_EQ(corpus::Shell("listgeo " + corpus::Quote(Path("keep.tif")))
                  .text.find("ModelTransformationTag"),
              std::string::npos);
}

TEST_F(kestrel_cli_corpus_test, control_points_are_replaced_only_with_the_flag) {
    ASSERT_EQ(
        corpus::MakeWithControlPoints(
            Path("gcps.tif"), {{0, 0, 1000, 2000}, {4, 0, 1008, 2000}, {0, 3, 1000, 1991, 10}}),
        "");
    const corpus::Intact before = Before("gcps.tif");
    const std::string bytes = ReadText(Path("gcps.tif"));
    CliRun run = Cli("set-tiff gcps.tif --scale 2 3 --tie 0 0 1000 2000");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Operational Problem: The Tiff file named " + Path("gcps.tif") +
                           " holds 3 ground control points, which this update would replace by "
                           "a single placement; the update was not made.\n");
    EXPECT_EQ(ReadText(Path("gcps.tif")), bytes);
    run = Cli("tiff-to-world gcps.tif");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kestrel-cli: gcps.tif: Tiff file has 3 ground control points.\n");

    run = Cli("set-tiff --replace-control-points gcps.tif --scale 2 3 --tie 0 0 1000 2000");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(GdalTags("gcps.tif"), (corpus::Transform{1000, 2, 0, 2000, 0, -3}));
    EXPECT_EQ(corpus::ReadWithGdal(Path("gcps.tif"), true).controlPoints, 0u);
    ExpectIntact("gcps.tif", before);
}

TEST_F(kestrel_cli_corpus_test, random_pixel_is_point_tags_survive_both_ways_bit_for_bit) {
    // Pixel-is-point takes no half-pixel step: any values come back as they went.
    std::mt19937_64 engine(34264);
    std::uniform_real_distribution<double> size(1e-6, 1000);
    std::uniform_real_distribution<double> east(-2e7, 2e7);
    std::uniform_real_distribution<double> north(-9e7, 9e7);
    corpus::HandTags tags;
    tags.pixelIsPoint = true;
    for (int i = 0; i < 4; ++i) {
        tags.pixelScale = {size(engine), size(engine), 0};
        tags.tiePoints = {0, 0, 0, east(engine), north(engine), 0};
        const corpus::WorldLines world = ExpectRoundTrips(tags, "case " + std::to_string(i));
        // The reference point is the tie point itself.
        EXPECT_EQ(world[4], tags.tiePoints[3]);
        EXPECT_EQ(world[5], tags.tiePoints[4]);
    }
}

TEST_F(kestrel_cli_corpus_test, random_area_tags_survive_both_ways_where_the_half_pixel_is_exact) {
    std::mt19937_64 engine(33550);
    std::uniform_real_distribution<double> size(1e-3, 100);
    std::uniform_real_distribution<double> east(-2e6, 2e6);
    std::uniform_real_distribution<double> north(-9e6, 9e6);
    corpus::HandTags tags;
    for (int i = 0; i < 4; ++i) {
        tags.pixelScale = {Dyadic(size(engine), 30), Dyadic(size(engine), 30), 0};
        tags.tiePoints = {0, 0, 0, Dyadic(east(engine), 30), Dyadic(north(engine), 28), 0};
        ExpectRoundTrips(tags, "case " + std::to_string(i));
    }
}
