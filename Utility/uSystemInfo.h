// TuSystemInfo: the process-wide record of program facts (numbered 1 to 16 in message
// templates) and the program's module handle.
#pragma once

#include <cstddef>

#include "uValue.h"

class TuSystemInfo {
public:
    static constexpr int FactCount = 16;

    // Gathers the facts from the host. With no module name the module is the program itself.
    explicit TuSystemInfo(const char* moduleName = nullptr);
    ~TuSystemInfo();
    TuSystemInfo(const TuSystemInfo&) = delete;
    TuSystemInfo& operator=(const TuSystemInfo&) = delete;

    const TuValue& Fact(int number) const; // 1 to 16
    void SetLastUndefinedCause(int cause); // fact 7, a tvInt
    const void* ModuleHandle() const { return moduleHandle; }

private:
    TuValue facts[FactCount];
    const void* moduleHandle;
};

// The program's single record, built during static initialisation before any other
// static object of the program.
extern TuSystemInfo tuSystemInfo;

// The program's own string resources.
struct TuStringResource {
    unsigned id;
    const char* text;
};

// Installs the program's string table (the table must outlive its use).
void TuSetStringTable(const TuStringResource* table, std::size_t count);

// Copies string resource `id` of `module` into buffer (size bytes with the terminator) and
// returns its length, or 0 when the module is null or has no such string (id 0 never exists).
[[nodiscard]] int TuLoadString(const void* module, unsigned id, char* buffer, int size);
