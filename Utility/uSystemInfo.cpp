#include "uSystemInfo.h"

#include <climits>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

#include "uPath.h"

namespace {

// Each text fact passes through a buffer of a whole path's size.
constexpr std::size_t FactBufferSize = TuPathSize;

// The program's module handle: a token that stands for the running executable.
const char programModule = 0;

const TuStringResource* stringTable = nullptr;
std::size_t stringCount = 0;

// The executable's full path, as the host reports it; false when it cannot.
bool ExecutablePath(char* buffer, std::size_t size) {
    const ssize_t length = readlink("/proc/self/exe", buffer, size - 1);
    if (length <= 0)
        return false;
    buffer[length] = '\0';
    return true;
}

bool EffectiveUserName(char* buffer, std::size_t size) {
    struct passwd entry;
    struct passwd* found = nullptr;
    char scratch[1024];
    if (getpwuid_r(geteuid(), &entry, scratch, sizeof scratch, &found) != 0 || found == nullptr)
        return false;
    if (std::strlen(found->pw_name) >= size)
        return false;
    std::strcpy(buffer, found->pw_name);
    return true;
}

bool HostName(char* buffer, std::size_t size) {
    if (gethostname(buffer, size) != 0)
        return false;
    buffer[size - 1] = '\0';
    return true;
}

} // namespace

// Built before every other static object of the program, so that errors raised during
// their construction already name the program.
TuSystemInfo tuSystemInfo __attribute__((init_priority(101)));

TuSystemInfo::TuSystemInfo(const char* moduleName)
    : moduleHandle(moduleName == nullptr ? &programModule : nullptr) {
    char buffer[FactBufferSize] = {};
    if (ExecutablePath(buffer, sizeof buffer))
        facts[0].SetText(buffer);
    if (getcwd(buffer, sizeof buffer) != nullptr)
        facts[1].SetText(buffer);
    if (EffectiveUserName(buffer, sizeof buffer))
        facts[2].SetText(buffer);
    if (HostName(buffer, sizeof buffer))
        facts[3].SetText(buffer);
    // The module named at construction: only the program itself is known on this host.
    if (moduleHandle != nullptr && ExecutablePath(buffer, sizeof buffer))
        facts[4].SetText(buffer);
}

TuSystemInfo::~TuSystemInfo() {
    moduleHandle = nullptr;
}

const TuValue& TuSystemInfo::Fact(int number) const {
    static const TuValue empty;
    if (number < 1 || number > FactCount)
        return empty;
    return facts[number - 1];
}

void TuSystemInfo::SetLastUndefinedCause(int cause) {
    facts[6].SetInt(cause);
}

void TuSetStringTable(const TuStringResource* table, std::size_t count) {
    stringTable = table;
    stringCount = table == nullptr ? 0 : count;
}

int TuLoadString(const void* module, unsigned id, char* buffer, int size) {
    if (module == nullptr || id == 0 || buffer == nullptr || size <= 0)
        return 0;
    for (std::size_t i = 0; i < stringCount; ++i) {
        if (stringTable[i].id != id)
            continue;
        int length = 0;
        for (const char* text = stringTable[i].text; *text != '\0' && length + 1 < size; ++text)
            buffer[length++] = *text;
        buffer[length] = '\0';
        return length;
    }
    return 0;
}
