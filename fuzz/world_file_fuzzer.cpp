// Reads arbitrary bytes as a world file and checks the six values against the reading rule
// users rely on: lines of at most 255 characters (a longer one counts as several, a CR LF pair
// counts as one line feed), each taken as the longest leading decimal number, anything else
// as 0; fewer than six lines raise a catalogue error. Then writes the values and reads them
// back: every double, bit for bit.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ScratchFile.h"
#include "uCauses.h"
#include "uError.h"
#include "uWorldFile.h"

namespace {

// The six values as the reading rule gives them; returns how many lines there were (up to 6).
int ExpectedValues(const std::uint8_t* data, std::size_t size, double* values) {
    std::size_t position = 0;
    int lines = 0;
    while (lines < 6 && position < size) {
        // One line as a 256-byte buffer takes it in text mode: at most 255 bytes, through
        // the line end, a CR LF pair counting as one LF.
        std::string line;
        while (position < size && line.size() < 255) {
            char c = static_cast<char>(data[position++]);
            if (c == '\r' && position < size && data[position] == '\n') {
                c = '\n';
                ++position;
            }
            line.push_back(c);
            if (c == '\n') {
                break;
            }
        }
        values[lines++] = std::strtod(line.c_str(), nullptr);
    }
    return lines;
}

bool Same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

void Values(const TuWorldFile& world, double* values) {
    const TuXY x = world.XVector();
    const TuXY y = world.YVector();
    const TuXY reference = world.ReferencePoint();
    const double all[6] = {x.x, x.y, y.x, y.y, reference.x, reference.y};
    std::memcpy(values, all, sizeof all);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteScratchFile("input.tfw", data, size);
    double expected[6] = {1.0, 0.0, 0.0, -1.0, 0.0, 0.0};
    const int lines = ExpectedValues(data, size, expected);

    TuWorldFile world;
    bool raised = false;
    try {
        world.Read(TuFileName(path.c_str()));
    } catch (const TuError& error) {
        if (error.Cause() != TuCauseWorldFileNotUnderstood) {
            FuzzFinding("reading a world file raised another cause than the one for no world file");
        }
        raised = true;
    }
    if (raised != (lines < 6)) {
        FuzzFinding("a short world file was not refused, or a whole one was");
    }
    double got[6];
    Values(world, got);
    // Values past a short file's end keep what they held.
    for (int i = 0; i < 6; ++i) {
        if (!Same(got[i], expected[i])) {
            FuzzFinding("a world file line read as another value than its leading number");
        }
    }

    // Whatever was read survives a write and a read exactly.
    const TuFileName copy((ScratchFolder() + "/copy.tfw").c_str());
    try {
        world.Write(copy, true);
    } catch (const TuError& error) {
        FuzzFinding(error.what());
    }
    TuWorldFile again;
    again.Read(copy);
    double back[6];
    Values(again, back);
    for (int i = 0; i < 6; ++i) {
        if (!Same(back[i], got[i])) {
            FuzzFinding("a value changed on its way through a world file");
        }
    }
    return 0;
}
