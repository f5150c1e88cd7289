// The path functions: absolute form, splitting into parts and composing from parts, in the
// Windows style (drive letters, \\server\share, "\" as separator) and the POSIX style ("/" as
// the only separator, no drive part).
//
// Every path is wide text. A whole path holds at most 259 units, each part at most 254;
// texts beyond those limits raise a cause of the error catalogue instead of being cut.
#pragma once

#include <cstddef>

constexpr std::size_t TuPathSize = 260; // a whole path: 259 units and the terminator
constexpr std::size_t TuPathMaximumUnits = TuPathSize - 1; // the most units a whole path holds
constexpr std::size_t TuPartSize = 256; // one part of a path: drive, directory, name, extension

enum class TuPathStyle { Windows, Posix };

#ifdef _WIN32
constexpr TuPathStyle TuHostPathStyle = TuPathStyle::Windows;
#else
constexpr TuPathStyle TuHostPathStyle = TuPathStyle::Posix;
#endif

// Writes the absolute form of text into destination (size units, normally TuPathSize).
// Resolution is lexical: ".", ".." and repeated separators are collapsed, the file need not
// exist and links are not followed; the empty text gives the current directory. As Windows
// does, the Windows style keeps a trailing separator and drops trailing dots and spaces of
// the last name; the POSIX style drops a trailing separator.
// currentDirectory is the directory that relative texts resolve against, in the style's own
// form (u"C:\\work", u"\\\\srv\\share\\maps" or u"/home/user"). When it is null the process's
// current directory (getcwd) is used; a Windows-style text that needs it then resolves only
// where that directory has the Windows form, so elsewhere only absolute texts resolve.
// Raises TuCausePathTooLongWhenAbsolute with the text when the text or its absolute form exceeds
// 259 units or cannot be resolved.
void MakeAbsolute(char16_t* destination, const char16_t* text, std::size_t size,
                  TuPathStyle style = TuHostPathStyle, const char16_t* currentDirectory = nullptr);

// Splits path into its drive or share, directory, name and extension (each TuPartSize units;
// any may be null, and a null part is neither produced nor tested against its limit).
// Raises TuCauseExtensionTooLong, TuCauseNameTooLong, TuCauseDirectoryTooLong or
// TuCauseDriveTooLong for a part over 254 units, TuCauseShareFormInvalid for a share prefix
// without a share.
void SplitPath(const char16_t* path, char16_t* drive, char16_t* directory, char16_t* name,
               char16_t* extension, TuPathStyle style = TuHostPathStyle);

// Composes an absolute path from its parts (any may be null) into destination (TuPathSize
// units). The POSIX style has no drive part and ignores a given one, and writes no dot for an
// empty extension. Raises TuCausePathTooLong when the composed text reaches 259 units (a name
// counted with the trailing dots that are dropped from it), and whatever MakeAbsolute raises.
void ComposePath(char16_t* destination, const char16_t* drive, const char16_t* directory,
                 const char16_t* name, const char16_t* extension,
                 TuPathStyle style = TuHostPathStyle, const char16_t* currentDirectory = nullptr);
