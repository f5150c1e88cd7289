#include "ReferencingState.h"

#include "DialogTexts.h"

namespace kestrel {

const char* StatusLine(TiffFinding finding) {
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
    }
    return texts::TiffUnreadable;
}

const char* StatusLine(WorldFileFinding finding) {
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

bool SideWasRead(TiffFinding finding) {
    switch (finding) {
    case TiffFinding::NotGeoreferenced:
    case TiffFinding::Georeferenced:
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
