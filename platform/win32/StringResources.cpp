#include "StringResources.h"

#include <string>
#include <vector>

#include "ControlIds.h"
#include "WideText.h"
#include "uSystemInfo.h"

namespace kestrel::win32 {
namespace {

constexpr unsigned StringIds[] = {IDS_ABOUTBOX};

} // namespace

void InstallStringResources(HINSTANCE instance) {
    // The texts must outlive their use: they live as long as the program.
    static std::vector<std::string> texts;
    static std::vector<TuStringResource> table;
    texts.clear();
    table.clear();
    for (const unsigned id : StringIds) {
        // With a zero size, LoadStringW points into the resource itself: no length limit.
        const wchar_t* text = nullptr;
        const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
        if (length > 0) {
            texts.push_back(Narrow(std::wstring_view(text, static_cast<std::size_t>(length))));
            table.push_back({id, nullptr});
        }
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i].text = texts[i].c_str();
    }
    TuSetStringTable(table.data(), table.size());
}

} // namespace kestrel::win32
