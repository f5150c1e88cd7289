// TuWorldFile: the six parameters of a world file (A, D, B, E, C, F), read and written as
// six text lines beside the image.
#pragma once

#include "uFileName.h"

struct TuXY {
    double x;
    double y;
};

class TuWorldFile {
public:
    TuWorldFile(); // X vector (1, 0), Y vector (0, -1), reference point (0, 0)
    virtual ~TuWorldFile();

    TuXY XVector() const;        // A, D
    TuXY YVector() const;        // B, E
    TuXY ReferencePoint() const; // C, F
    void SetXVector(TuXY value);
    void SetYVector(TuXY value);
    void SetReferencePoint(TuXY value);

    // Replaces the six values with those in the file; leaves them when it cannot be opened or
    // is no regular file (a folder, a pipe, a device). Raises TuCauseWorldFileNotUnderstood when
    // the file has fewer than six lines; the values of the lines read before stay.
    void Read(const TuFileName& name);
    // Writes the six values as a new file, replacing it atomically; raises on failure. Only a
    // regular file is replaced: anything else in its place (a folder, a pipe, a device, or a link
    // to one) raises the open-failure diagnosis and stays as it is.
    void Write(const TuFileName& name, bool overwrite);

private:
    double parameters[6];
};
