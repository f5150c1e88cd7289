#include "Report.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "uCauses.h"

using namespace kestrel::cli;

// The JSON of `info --json`, which scripts read: every key in its place, and null for the
// parts the examination did not reach.
TEST(report_test, json_of_a_file_that_could_not_be_examined) {
    FileReport report;
    report.file = "missing.tif";
    report.error.emplace();
    report.error->caption = "kestrel-cli";
    report.error->message = "Indicated file does not exist.";
    EXPECT_EQ(FormatJson(report),
              "{\"file\": \"missing.tif\", \"tiff\": null, \"worldFile\": null, \"error\": "
              "{\"cause\": null, \"caption\": \"kestrel-cli\", \"message\": \"Indicated file does "
              "not exist.\"}}");
}

TEST(report_test, json_of_a_fully_examined_file) {
    FileReport report;
    report.file = "/maps/sheet.tif";
    TiffReport tiff;
    tiff.status = "Tiff file is georeferenced.";
    tiff.writable = true;
    tiff.pixelScale = {2, 0.1 + 0.2};
    tiff.tiePixel = {0, -0.0};
    tiff.tieWorld = {100, std::numeric_limits<double>::quiet_NaN()};
    tiff.tags.rasterType = TuRasterType::PixelIsPoint;
    tiff.tags.matrix =
        kestrel::TransformationMatrix{2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 1};
    tiff.tags.tiePoints = 3;
    report.tiff = tiff;
    WorldReport world;
    world.file = "/maps/sheet.tfw";
    world.name = "sheet.tfw";
    world.status = "Corresponding world file exists.";
    world.parameters = {2, 0, 0, -2, 101, 499};
    report.worldFile = world;
    report.error.emplace();
    report.error->cause = TuCauseOpenFileMissing;
    report.error->caption = "File Open Error";
    report.error->message = "line\nbreak";
    EXPECT_EQ(FormatJson(report),
              "{\"file\": \"/maps/sheet.tif\", \"tiff\": {\"kind\": \"classic\", \"status\": "
              "\"Tiff file is "
              "georeferenced.\", \"writable\": true, \"pixelScale\": [2, 0.30000000000000004], "
              "\"tiePoint\": {\"pixel\": [0, -0], \"world\": [100, null]}, \"rasterType\": "
              "\"point\", \"matrix\": [2, 0.25, 0, 1000, 0.5, -3, 0, 2000, 0, 0, 0, 0, 0, 0, 0, "
              "1], \"tiePoints\": 3}, \"worldFile\": {\"file\": \"/maps/sheet.tfw\", "
              "\"status\": \"Corresponding world file exists.\", \"writable\": false, "
              "\"parameters\": [2, 0, 0, -2, 101, 499], \"name\": \"sheet.tfw\"}, \"error\": "
              "{\"cause\": " +
                  std::to_string(TuCauseOpenFileMissing) +
                  ", \"caption\": \"File Open Error\", \"message\": "
                  "\"line\\nbreak\"}}");
}

TEST(report_test, json_of_the_raster_type_when_it_is_area_or_unknown) {
    FileReport report;
    report.file = "a.tif";
    report.tiff.emplace();
    const auto json = [](const std::string& rasterType) {
        return "{\"file\": \"a.tif\", \"tiff\": {\"kind\": \"classic\", \"status\": \"\", "
               "\"writable\": false, "
               "\"pixelScale\": [0, 0], \"tiePoint\": {\"pixel\": [0, 0], \"world\": [0, 0]}, "
               "\"rasterType\": " +
               rasterType +
               ", \"matrix\": null, \"tiePoints\": 0}, \"worldFile\": null, \"error\": null}";
    };
    report.tiff->tags.rasterType = TuRasterType::PixelIsArea;
    EXPECT_EQ(FormatJson(report), json("\"area\""));
    report.tiff->tags.rasterType = TuRasterType::Unknown;
    EXPECT_EQ(FormatJson(report), json("null"));
}

TEST(report_test, json_names_a_bigtiff) {
    FileReport report;
    report.file = "/maps/mosaic.tif";
    TiffReport tiff;
    tiff.kind = kestrel::TiffKind::BigTiff;
    tiff.status = "Tiff file is NOT georeferenced.";
    report.tiff = tiff;
    EXPECT_EQ(FormatJson(report),
              "{\"file\": \"/maps/mosaic.tif\", \"tiff\": {\"kind\": \"bigtiff\", \"status\": "
              "\"Tiff file is NOT georeferenced.\", \"writable\": false, \"pixelScale\": [0, 0], "
              "\"tiePoint\": {\"pixel\": [0, 0], \"world\": [0, 0]}, \"rasterType\": null, "
              "\"matrix\": null, \"tiePoints\": 0}, \"worldFile\": null, "
              "\"error\": null}");
}
