// Runs the message formatter on arbitrary templates, argument values and output capacities,
// and renders every argument under an arbitrary conversion. The buffers are exactly as large
// as the callers say, so that a write past them is caught, and the results must keep the
// formatter's promises: a terminated output of at most capacity - 1 characters, and a count
// of the full expansion that is the stored length whenever the expansion fits.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ScratchFile.h"
#include "uValue.h"

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
    bool Empty() const { return position >= size; }
    std::uint8_t Byte() { return position < size ? data[position++] : 0; }
    void Bytes(void* out, std::size_t n) {
        std::memset(out, 0, n);
        for (std::size_t i = 0; i < n && position < size; ++i) {
            static_cast<std::uint8_t*>(out)[i] = data[position++];
        }
    }
    std::vector<char> Text() {
        std::vector<char> text;
        while (position < size && data[position] != 0) {
            text.push_back(static_cast<char>(data[position++]));
        }
        ++position;
        text.push_back(0);
        return text;
    }
    std::vector<char16_t> WideText() {
        std::vector<char16_t> text;
        while (position + 1 < size) {
            const char16_t unit = static_cast<char16_t>(data[position] | data[position + 1] << 8);
            position += 2;
            if (unit == 0) {
                break;
            }
            text.push_back(unit);
        }
        text.push_back(0);
        return text;
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};

TuValue ReadValue(Input& input) {
    TuValue value;
    const int kind = input.Byte() % 9;
    std::uint8_t raw[8];
    switch (kind) {
    case tvNone:
        break;
    case tvChar:
        value.SetChar(static_cast<char>(input.Byte()));
        break;
    case tvWideChar: {
        input.Bytes(raw, 2);
        value.SetWideChar(raw[0] | raw[1] << 8);
        break;
    }
    case tvText:
        value.SetText(input.Text().data());
        break;
    case tvWideText:
        value.SetWideText(input.WideText().data());
        break;
    default: {
        std::int32_t integer;
        double floating;
        input.Bytes(raw, 8);
        std::memcpy(&integer, raw, 4);
        std::memcpy(&floating, raw, 8);
        if (kind == tvInt) {
            value.SetInt(integer);
        } else if (kind == tvLong) {
            value.SetLong(integer);
        } else if (kind == tvUnsigned) {
            value.SetUnsigned(static_cast<std::uint32_t>(integer));
        } else {
            value.SetDouble(floating);
        }
    }
    }
    return value;
}

// The formatter stores min(produced, capacity - 1) characters and a terminator after them
// (a rendered character may itself be 0, so the first 0 need not be the terminator).
std::size_t CheckStored(const char16_t* text, int capacity, int produced, const char* what) {
    if (produced < 0) {
        FuzzFinding(what);
    }
    const std::size_t stored = static_cast<std::size_t>(std::min(produced, capacity - 1));
    if (text[stored] != 0) {
        FuzzFinding(what);
    }
    return stored;
}

void CheckRender(const TuValue& value, Input& input) {
    const char16_t conversion = static_cast<char16_t>(input.Byte());
    const int precision = static_cast<int>(input.Byte()) - 1; // -1 to 254
    const bool alternate = (input.Byte() & 1) != 0;
    const char16_t signs[] = {0, u' ', u'+'};
    const char16_t sign = signs[input.Byte() % 3];
    const int capacity = 1 + input.Byte() % 64;
    std::vector<char16_t> buffer(static_cast<std::size_t>(capacity));
    const int produced =
        value.Render(buffer.data(), capacity, conversion, precision, alternate, sign);
    CheckStored(buffer.data(), capacity, produced, "Render's count does not match what it stored");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const int count = input.Byte() % 5;
    std::vector<TuValue> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(ReadValue(input));
    }
    // Copies must render like their originals (and self-assignment must be harmless).
    std::vector<TuValue> copies(arguments.begin(), arguments.end());
    for (TuValue& copy : copies) {
        TuValue& self = copy;
        copy = self;
    }
    const int capacity = 1 + input.Byte();
    std::vector<char16_t> templateText = input.WideText();
    std::vector<char16_t> output(static_cast<std::size_t>(capacity));
    const int produced =
        TuFormat(output.data(), capacity, templateText.data(), arguments.data(), count);
    const std::size_t stored = CheckStored(output.data(), capacity, produced,
                                           "TuFormat's count does not match what it stored");
    std::vector<char16_t> again(static_cast<std::size_t>(capacity));
    TuFormat(again.data(), capacity, templateText.data(), copies.data(), count);
    if (std::memcmp(again.data(), output.data(), (stored + 1) * sizeof(char16_t)) != 0) {
        FuzzFinding("a copied value renders differently from its original");
    }
    for (const TuValue& value : arguments) {
        CheckRender(value, input);
    }
    return 0;
}
