#include "ReferencingState.h"

#include "DialogTexts.h"

namespace kestrel {

namespace {

const char* FixedStatusLine(TiffFinding finding) {
    switch (finding) {
    case TiffFinding::NoFileYet:
        return texts::NoFileYet;
    case TiffFinding::NotFound:
        return texts::TiffNotFound;
    case TiffFinding::Unreadable:
        return texts::TiffUnreadable;
    case TiffFinding::NotGeoreferenced:
        return texts::TiffNotGeoreferenced;
    case TiffFinding::Georeferenced:
        return texts::TiffGeoreferenced;
    case TiffFinding::GeoreferencedPixelIsPoint:
        return texts::TiffGeoreferencedPixelIsPoint;
    case TiffFinding::ByMatrix:
        return texts::TiffGeoreferencedByMatrix;
    case TiffFinding::ByRotatedMatrix:
        return texts::TiffRotatedMatrix;
    case TiffFinding::ByMatrixNotNorthUp:
        return texts::TiffMatrixNotNorthUp;
    case TiffFinding::ControlPoints:
        return texts::TiffControlPoints;
    }
    return texts::TiffUnreadable;
}

const char* FixedStatusLine(WorldFileFinding finding) {
    switch (finding) {
    case WorldFileFinding::NoTiffYet:
        return texts::NoTiffYet;
    case WorldFileFinding::NoValidTiff:
        return texts::NoValidTiff;
    case WorldFileFinding::NameUnusable:
    case WorldFileFinding::Unreadable:
        return texts::WorldFileUnreadable;
    case WorldFileFinding::Missing:
        return texts::WorldFileMissing;
    case WorldFileFinding::Exists:
        return texts::WorldFileExists;
    case WorldFileFinding::NotAFile:
        return texts::WorldFileNotAFile;
    }
    return texts::WorldFileUnreadable;
}

// Whether the extension is "tfw" in any case: the world file's usual name.
bool IsUsualWorldFileExtension(const std::string& extension) {
    const std::string usual = "tfw";
    if (extension.size() != usual.size()) {
        return false;
    }
    for (std::size_t i = 0; i < usual.size(); ++i) {
        if ((extension[i] | 0x20) != usual[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string TiffStatusLine(const ReferencingState& state) {
    if (state.tiff == TiffFinding::ControlPoints) {
        return FillMessage(texts::TiffControlPoints, std::to_string(state.tiffTags.tiePoints));
    }
    return FixedStatusLine(state.tiff);
}

std::string WorldFileStatusLine(const ReferencingState& state) {
    // A world file found under another name says which, since its Update writes that file.
    if (state.worldFile == WorldFileFinding::Exists && !state.worldFileExtension.empty() &&
        !IsUsualWorldFileExtension(state.worldFileExtension)) {
        return FillMessage(texts::WorldFileExistsAs, state.worldFileExtension);
    }
    return FixedStatusLine(state.worldFile);
}

bool IsGeoreferenced(TiffFinding finding) {
    switch (finding) {
    case TiffFinding::Georeferenced:
    case TiffFinding::GeoreferencedPixelIsPoint:
    case TiffFinding::ByMatrix:
    case TiffFinding::ByRotatedMatrix:
    case TiffFinding::ByMatrixNotNorthUp:
        return true;
    case TiffFinding::NoFileYet:
    case TiffFinding::NotFound:
    case TiffFinding::Unreadable:
    case TiffFinding::NotGeoreferenced:
    case TiffFinding::ControlPoints:
        return false;
    }
    return false;
}

bool FieldsApproximateMatrix(TiffFinding finding) {
    return finding == TiffFinding::ByRotatedMatrix || finding == TiffFinding::ByMatrixNotNorthUp;
}

bool SideWasRead(TiffFinding finding) {
    switch (finding) {
    case TiffFinding::NotGeoreferenced:
    case TiffFinding::Georeferenced:
    case TiffFinding::GeoreferencedPixelIsPoint:
    case TiffFinding::ByMatrix:
    case TiffFinding::ByRotatedMatrix:
    case TiffFinding::ByMatrixNotNorthUp:
    case TiffFinding::ControlPoints:
        return true;
    case TiffFinding::NoFileYet:
    case TiffFinding::NotFound:
    case TiffFinding::Unreadable:
        return false;
    }
    return false;
}

bool SideWasRead(WorldFileFinding finding) {
    switch (finding) {
    case WorldFileFinding::Missing:
    case WorldFileFinding::Exists:
    case WorldFileFinding::NotAFile:
        return true;
    case WorldFileFinding::NoTiffYet:
    case WorldFileFinding::NoValidTiff:
    case WorldFileFinding::NameUnusable:
    case WorldFileFinding::Unreadable:
        return false;
    }
    return false;
}

const char* WorldFileUpdateCaption(WorldFileFinding finding) {
    switch (finding) {
    case WorldFileFinding::Missing:
        return texts::WriteNewWorldFile;
    case WorldFileFinding::Exists:
    case WorldFileFinding::NotAFile:
    case WorldFileFinding::Unreadable:
        return texts::UpdateWorldFile;
    case WorldFileFinding::NoTiffYet:
    case WorldFileFinding::NoValidTiff:
    case WorldFileFinding::NameUnusable:
        return nullptr;
    }
    return nullptr;
}

} // namespace kestrel
