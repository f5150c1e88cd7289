// The referencing dialog's logic on a recording window, with the helpers its tests share:
// typing names and numbers, and reading what the window shows.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ControlIds.h"
#include "DialogTexts.h"
#include "RecordingPlatform.h"
#include "ReferencingDialog.h"
#include "TestFiles.h"

namespace kestrel::test {

inline const std::vector<int> TiffSide = {IDC_X_PIXEL_SCALE, IDC_Y_PIXEL_SCALE, IDC_TIE_PIXEL_X,
                                          IDC_TIE_PIXEL_Y,   IDC_TIE_WORLD_X,   IDC_TIE_WORLD_Y};
inline const std::vector<int> WorldSide = {IDC_X_VECTOR_X, IDC_X_VECTOR_Y,  IDC_Y_VECTOR_X,
                                           IDC_Y_VECTOR_Y, IDC_REF_POINT_X, IDC_REF_POINT_Y};
inline const std::vector<std::string> Zeros(6, "0");

// The dialog on a recording window.
class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        InstallStringTable();
        dialog.OnInitDialog();
        platform.ClearRecord();
    }

    void TypeName(const std::string& name) {
        platform.Type(IDC_FILE_NAME, name);
        dialog.OnFileNameKillFocus();
    }
    void Key(const std::vector<int>& ids, const std::vector<std::string>& values) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            platform.Type(ids[i], values[i]);
        }
    }
    std::vector<std::string> Shown(const std::vector<int>& ids) const {
        std::vector<std::string> shown;
        shown.reserve(ids.size());
        for (int id : ids) {
            shown.push_back(platform.Text(id));
        }
        return shown;
    }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : platform.messages) {
            texts.push_back(message.text);
        }
        return texts;
    }
    // The geotransform that the TIFF side of the dialog shows, as GDAL writes it.
    std::array<double, 6> ShownTiffGeoTransform() const {
        const double sx = std::stod(platform.Text(IDC_X_PIXEL_SCALE));
        const double sy = std::stod(platform.Text(IDC_Y_PIXEL_SCALE));
        const double i = std::stod(platform.Text(IDC_TIE_PIXEL_X));
        const double j = std::stod(platform.Text(IDC_TIE_PIXEL_Y));
        const double x = std::stod(platform.Text(IDC_TIE_WORLD_X));
        const double y = std::stod(platform.Text(IDC_TIE_WORLD_Y));
        return {x - i * sx, sx, 0, y + j * sy, 0, -sy};
    }

    // The texts of the errors shown.
    std::vector<std::string> ErrorTexts() const {
        std::vector<std::string> texts;
        for (const TuMessage& error : platform.errors) {
            texts.push_back(error.text);
        }
        return texts;
    }

    testfiles::TempFolder folder;
    RecordingPlatform platform;
    ReferencingDialog dialog{platform};
};

// A georeferenced GeoTIFF made by GDAL: pixel scale (2, 2), tie point (0, 0) at (100, 500).
class ExamineTest : public DialogTest {
protected:
    void MakeSheet() { testfiles::MakeGdalTiff(folder / "sheet.tif", {{100, 500}}, 2); }
};

} // namespace kestrel::test
