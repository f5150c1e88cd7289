// TuFileName: one absolute path as wide text, with its parts and a cached narrow form.
#pragma once

#include <memory>

#include "uPath.h"

// What a failed open wanted, for the diagnosis of its failure.
enum class TuOpenAccess { Read, Write, ReadWrite };

class TuFileName {
public:
    TuFileName();
    // Converts the narrow text and stores its absolute form (host style).
    explicit TuFileName(const char* text);
    TuFileName(const TuFileName& other);
    TuFileName& operator=(const TuFileName& other);
    virtual ~TuFileName();

    const char16_t* GetPath() const noexcept { return path; }
    // The path as narrow text, owned by the object and valid until the path changes.
    const char* GetNarrow() const;

    void GetDrive(char16_t* part) const;     // part: TuPartSize units
    void GetDirectory(char16_t* part) const; // part: TuPartSize units
    void GetExtension(char16_t* part) const; // part: TuPartSize units
    void GetExtension(char* part) const;     // part: TuPartSize bytes
    void GetNameAndExtension(char16_t* part) const;

    void SetExtension(const char16_t* extension);
    void SetExtension(const char* extension);

    // Diagnoses why an open of this path failed and raises the matching cause.
    [[noreturn]] void RaiseOpenFailure(TuOpenAccess wanted, int errorNumber) const;

private:
    char16_t path[TuPathSize];
    mutable std::unique_ptr<char[]> narrow; // made on first use
};
