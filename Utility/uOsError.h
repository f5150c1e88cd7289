// The error numbers of the operating-system seam (the uOs files).
//
// Every seam call that fails reports an error number of the C library's numbering, the number
// that the catalogue's messages show as "Code: N". Each host's implementation maps its own
// errors onto it; the library decides only by the numbers named here, which are the same on
// every C library. Any other number is passed on to the messages as the host gave it.
#pragma once

constexpr int TuOsNoError = 0;
constexpr int TuOsNoSuchFile = 2;        // the file or a folder on its path does not exist
constexpr int TuOsInputOutput = 5;       // the storage failed
constexpr int TuOsBadHandle = 9;         // the file is not open (for this kind of transfer)
constexpr int TuOsAccessDenied = 13;     // permission refused, or the file is in use elsewhere
constexpr int TuOsFileExists = 17;       // a new file was asked for and one exists already
constexpr int TuOsNotAFolder = 20;       // a file stands where the path needs a folder
constexpr int TuOsIsAFolder = 21;        // a folder (or anything but a regular file) was opened
constexpr int TuOsInvalidArgument = 22;  // an offset or a request the host cannot take
constexpr int TuOsTooManyOpenFiles = 24; // the process may open no more files
constexpr int TuOsNoSpace = 28;          // the storage is full, or the file at its size limit
constexpr int TuOsNotSeekable = 29;      // a positioned transfer on a pipe or a socket
