// kestrel_update_helper: one full update of a TIFF's referencing or of a world file, exactly
// as the referencing dialog performs it, in a process of its own so that the crash
// consistency tests can fail or kill it at any system call.
//   kestrel_update_helper tiff <file>    adds the two GeoTIFF tags when missing, writes them
//   kestrel_update_helper world <file>   writes the world file
// The values written are UpdateHelperScale, UpdateHelperTiepoint and UpdateHelperWorld.
// Exit status: 0 when the update reported success, 1 when it raised (cause on stderr).
#include <cstdio>
#include <cstring>

#include "StoreReferencing.h"
#include "UpdateHelperValues.h"
#include "uError.h"
#include "uTiffFile.h"
#include "uWorldFile.h"

namespace {

void UpdateTiff(const char* path) {
    TuTiffFile file(TuFileName(path), ModeUpdate);
    StoreReferencing(file, UpdateHelperScale, UpdateHelperTiepoint);
}

void UpdateWorld(const char* path) {
    TuWorldFile world;
    world.SetXVector({UpdateHelperWorld[0], UpdateHelperWorld[1]});
    world.SetYVector({UpdateHelperWorld[2], UpdateHelperWorld[3]});
    world.SetReferencePoint({UpdateHelperWorld[4], UpdateHelperWorld[5]});
    world.Write(TuFileName(path), true);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestrel_update_helper tiff|world <file>\n");
        return 2;
    }
    try {
        if (std::strcmp(argv[1], "tiff") == 0) {
            UpdateTiff(argv[2]);
        } else if (std::strcmp(argv[1], "world") == 0) {
            UpdateWorld(argv[2]);
        } else {
            return 2;
        }
    } catch (const TuError& error) {
        std::fprintf(stderr, "%d %s\n", error.Cause(), error.what());
        return 1;
    }
    return 0;
}
