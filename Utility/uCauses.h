// The cause codes of the error catalogue by name, grouped by family as the catalogue is.
// Every site that raises a cause, compares a caught one or checks one uses these names; the
// catalogue table in uErrorCatalogue.cpp is the only other place that spells the numbers.
// A name says what the cause reports: TuCause, the family where it is not plain from the
// rest, then what went wrong. Causes that nothing here raises or checks stay unnamed.
#pragma once

// Core
constexpr int TuCauseInternalError = 1384001001;        // line (int), source file (narrow)
constexpr int TuCauseInvalidMultibyteText = 1384001003; // the text (narrow)

// Bitmaps
constexpr int TuCauseBitmapSizeInvalid = 1384001100;

// Formatting pictures
constexpr int TuCausePictureTooLong = 1384001150;
constexpr int TuCausePictureCharacterInvalid = 1384001151;
constexpr int TuCausePictureInputTooShort = 1384001155;
constexpr int TuCausePictureValueTooLarge = 1384001163;

// Regular expressions
constexpr int TuCauseRegularExpressionArgumentsInvalid = 1384001200;

// File input and output
constexpr int TuCauseFileSeekFailed = 1384001250;
constexpr int TuCauseFileSeekBeforeStart = 1384001255;
constexpr int TuCauseFileSeekPastEnd = 1384001256;
constexpr int TuCauseFileWriteFailed = 1384001251;
constexpr int TuCauseFileWriteFailedDiskFull = 1384001252; // file name (wide), error number
constexpr int TuCauseFileReadFailed = 1384001253;          // file name (wide), error number
constexpr int TuCauseFileRecordNumberInvalid = 1384001258;
constexpr int TuCauseFileReplaceRenameFailed = 1384001269;

// Temporary files, file names and opening files. The open-failure diagnosis passes the file
// name (wide), for 1306 to 1309 a directory or path component (wide), then the error number.
constexpr int TuCauseTemporaryDirectoryMissing = 1384001300;
constexpr int TuCausePathTooLong = 1384001301;             // the path (wide)
constexpr int TuCausePathTooLongWhenAbsolute = 1384001302; // the path (wide)
constexpr int TuCauseOpenFailedUnexplained = 1384001304;
constexpr int TuCauseOpenTooManyFiles = 1384001305;
constexpr int TuCauseOpenDirectoryMissing = 1384001306;
constexpr int TuCauseOpenComponentIsFile = 1384001307;
constexpr int TuCauseOpenComponentNotDirectory = 1384001308;
constexpr int TuCauseOpenFileMissing = 1384001309;
// Also raised, with the file name only, when a file that is to be created new exists.
constexpr int TuCauseCreateFileExists = 1384001310;
constexpr int TuCauseOpenIsDirectory = 1384001311;
constexpr int TuCauseOpenWriteDenied = 1384001312;
constexpr int TuCauseOpenReadDenied = 1384001313;
constexpr int TuCauseOpenDenied = 1384001314;
constexpr int TuCauseExtensionTooLong = 1384001315; // the path (wide), as are 1316 to 1320
constexpr int TuCauseNameTooLong = 1384001316;
constexpr int TuCauseDirectoryTooLong = 1384001317;
constexpr int TuCauseDriveTooLong = 1384001318;
constexpr int TuCauseShareFormInvalid = 1384001320;

// Delimited text files
constexpr int TuCauseDelimitedLineTooLong = 1384001350;
constexpr int TuCauseDelimiterInvalid = 1384001354;

// Token parser
constexpr int TuCauseTokenIndexInvalid = 1384001400;

// Name index
constexpr int TuCauseNameIndexEntryExists = 1384001450;

// Units of measure
constexpr int TuCauseLinearUnitUnknown = 1384001500;

// Command line
constexpr int TuCauseCommandLineTooManyArguments = 1384001510;

// TIFF files. Each passes the file name (wide) first, but 1557, which passes the tag
// identifier and the element index (ints).
constexpr int TuCauseTiffNotUnderstood = 1384001550;
constexpr int TuCauseTiffOpenModeInvalid = 1384001551;
constexpr int TuCauseTiffTagNotFound = 1384001552;       // then the tag identifier (int)
constexpr int TuCauseTiffEntryIndexInvalid = 1384001553; // then the index (unsigned long)
constexpr int TuCauseTiffTagReadFailed = 1384001554;     // then the tag identifier (int)
constexpr int TuCauseTiffTagWriteFailed = 1384001555;    // then the tag identifier (int)
constexpr int TuCauseTiffElementMissing = 1384001557;
constexpr int TuCauseTiffOpenedForExamination = 1384001558;
constexpr int TuCauseTiffHeaderRewriteFailed = 1384001559;
// The file was changed by another program after it was read, so nothing was written to it;
// a dialog examines such a file again.
constexpr int TuCauseTiffChangedSinceExamined = 1384001560;
// The new values and directory would lie beyond the 4 GiB a classic TIFF can address.
constexpr int TuCauseTiffBeyondFourGiB = 1384001561;
// An update would replace the file's ground control points (then their number, an int) by the
// one tie point or the matrix it writes; it is not made unless the user confirmed it.
constexpr int TuCauseTiffControlPointsWouldBeReplaced = 1384001562;

// World files
constexpr int TuCauseWorldFileNotUnderstood = 1384001570; // file name (narrow)

// System registry
constexpr int TuCauseRegistryAccessDenied = 1384001580;

// ISO 8211 files
constexpr int TuCauseIso8211FieldControlInvalid = 1384001600;
constexpr int TuCauseIso8211UnexpectedEnd = 1384001609;
constexpr int TuCauseIso8211FieldIndexInvalid = 1384001610;

// Shape files
constexpr int TuCauseShapeFileTruncated = 1384001650;

// Dates
constexpr int TuCauseDateBeforeYearOne = 1384001700;
constexpr int TuCauseDateNotInitialized = 1384001701;

// dBase files
constexpr int TuCauseDbaseFieldTypeMismatch = 1384001711;
constexpr int TuCauseDbaseTooManyFields = 1384001720;
constexpr int TuCauseDbaseFieldsFixed = 1384001727;
constexpr int TuCauseDbaseFileEmpty = 1384001729;

// The cause of the record that ends the table; no lookup finds it, so raising it gives the
// fallback for an undefined cause.
constexpr int TuCauseEndOfCatalogue = 1384001000;
