#include "uSystemInfo.h"

#include <string>

#include "uOsProcess.h"
#include "uText.h"

namespace {

// The program's module handle: a token that stands for the running executable.
const char programModule = 0;

const TuStringResource* stringTable = nullptr;
std::size_t stringCount = 0;

// The fact that the host gave with tell, as narrow text; left empty when the host cannot tell.
void SetTextFact(TuValue& fact, bool (*tell)(std::u16string&)) {
    std::u16string text;
    if (!tell(text)) {
        return;
    }
    std::string narrow(TuNarrowUnitBytes * text.size() + 1, '\0');
    TuNarrow(narrow.data(), text.c_str());
    fact.SetText(narrow.c_str());
}

} // namespace

// Built before every other static object of the program, so that errors raised during
// their construction already name the program.
TuSystemInfo tuSystemInfo __attribute__((init_priority(101)));

TuSystemInfo::TuSystemInfo(const char* moduleName)
    : moduleHandle(moduleName == nullptr ? &programModule : nullptr) {
    SetTextFact(facts[0], TuOsProgramPath);
    SetTextFact(facts[1], TuOsCurrentFolder);
    SetTextFact(facts[2], TuOsUserName);
    SetTextFact(facts[3], TuOsHostName);
    // The module named at construction: only the program itself is known on this host.
    if (moduleHandle != nullptr) {
        SetTextFact(facts[4], TuOsProgramPath);
    }
}

TuSystemInfo::~TuSystemInfo() {
    moduleHandle = nullptr;
}

const TuValue& TuSystemInfo::Fact(int number) const {
    static const TuValue empty;
    if (number < 1 || number > FactCount) {
        return empty;
    }
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
    if (module == nullptr || id == 0 || buffer == nullptr || size <= 0) {
        return 0;
    }
    for (std::size_t i = 0; i < stringCount; ++i) {
        if (stringTable[i].id != id) {
            continue;
        }
        int length = 0;
        for (const char* text = stringTable[i].text; *text != '\0' && length + 1 < size; ++text) {
            buffer[length++] = *text;
        }
        buffer[length] = '\0';
        return length;
    }
    return 0;
}
