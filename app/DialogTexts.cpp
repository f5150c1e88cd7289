#include "DialogTexts.h"

#include <iterator>

#include "ControlIds.h"
#include "uSystemInfo.h"

namespace kestrel {

std::string FillMessage(std::string_view messageTemplate,
                        std::initializer_list<std::string_view> values) {
    std::string text;
    for (std::size_t i = 0; i < messageTemplate.size(); ++i) {
        const char c = messageTemplate[i];
        if (c == '%' && i + 1 < messageTemplate.size()) {
            const char next = messageTemplate[i + 1];
            if (next == '%') {
                text += '%';
                ++i;
                continue;
            }
            const auto position = static_cast<std::size_t>(next - '1');
            if (next >= '1' && next <= '9' && position < values.size()) {
                text += *(values.begin() + position);
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

namespace {

const TuStringResource stringTable[] = {
    {IDS_ABOUTBOX, texts::AboutMenuEntry},
};

} // namespace

void InstallStringTable() {
    TuSetStringTable(stringTable, std::size(stringTable));
}

} // namespace kestrel
