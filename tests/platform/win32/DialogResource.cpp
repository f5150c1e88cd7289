#include "DialogResource.h"

#include <cstring>

namespace kestrel::test {
namespace {

// Reads the template's units in order; every field is at least 16-bit aligned.
class Reader {
public:
    Reader(const BYTE* start, std::size_t size) : start(start), size(size) {}

    bool Fits(std::size_t bytes) const { return offset + bytes <= size; }
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return static_cast<short>(Take<WORD>()); }
    BYTE Byte() { return Take<BYTE>(); }
    void AlignTo(std::size_t boundary) { offset = (offset + boundary - 1) / boundary * boundary; }
    void Skip(std::size_t bytes) { offset += bytes; }

    // A zero-terminated UTF-16 text.
    std::wstring Text() {
        std::wstring text;
        for (WORD unit = Word(); unit != 0 && Fits(0); unit = Word()) {
            text += static_cast<wchar_t>(unit);
        }
        return text;
    }
    // A text or a number: 0xFFFF and then the number, or nothing (0) or the text.
    std::wstring TextOrNumber(int& number) {
        number = 0;
        if (!Fits(2)) {
            return std::wstring();
        }
        const WORD first = *reinterpret_cast<const WORD*>(start + offset);
        if (first == 0xFFFF) {
            Skip(2);
            number = Word();
            return std::wstring();
        }
        return Text();
    }

private:
    template <class T> T Take() {
        if (!Fits(sizeof(T))) {
            offset = size;
            return T{};
        }
        T value;
        std::memcpy(&value, start + offset, sizeof(T));
        offset += sizeof(T);
        return value;
    }

    const BYTE* start;
    std::size_t size;
    std::size_t offset = 0;
};

std::wstring PredefinedClass(int number) {
    switch (number) {
    case 0x80:
        return L"Button";
    case 0x81:
        return L"Edit";
    case 0x82:
        return L"Static";
    case 0x83:
        return L"ListBox";
    case 0x84:
        return L"ScrollBar";
    case 0x85:
        return L"ComboBox";
    default:
        return L"#" + std::to_wstring(number);
    }
}

} // namespace

std::optional<ResourceDialog> ReadDialogResource(HMODULE module, int id) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    if (loaded == nullptr) {
        return std::nullopt;
    }
    Reader reader(static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found));
    if (reader.Word() != 1 || reader.Word() != 0xFFFF) {
        return std::nullopt; // not the extended template
    }
    ResourceDialog dialog;
    reader.Dword(); // help id
    dialog.exStyle = reader.Dword();
    dialog.style = reader.Dword();
    const WORD count = reader.Word();
    reader.Short(); // x and y: where the dialog opens
    reader.Short();
    dialog.width = reader.Short();
    dialog.height = reader.Short();
    int number = 0;
    reader.TextOrNumber(number); // menu
    reader.TextOrNumber(number); // window class
    dialog.caption = reader.Text();
    if ((dialog.style & DS_SETFONT) != 0) {
        dialog.pointSize = reader.Word();
        reader.Word(); // weight
        reader.Byte(); // italic
        reader.Byte(); // character set
        dialog.typeface = reader.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignTo(4);
        ResourceControl control;
        reader.Dword(); // help id
        control.exStyle = reader.Dword();
        control.style = reader.Dword();
        control.x = reader.Short();
        control.y = reader.Short();
        control.width = reader.Short();
        control.height = reader.Short();
        control.id = static_cast<int>(reader.Dword());
        int classNumber = 0;
        control.className = reader.TextOrNumber(classNumber);
        if (control.className.empty()) {
            control.className = PredefinedClass(classNumber);
        } else {
            // A predefined class given by name ("STATIC") is the same class.
            for (int predefined = 0x80; predefined <= 0x85; ++predefined) {
                if (_wcsicmp(control.className.c_str(), PredefinedClass(predefined).c_str()) == 0) {
                    control.className = PredefinedClass(predefined);
                }
            }
        }
        control.text = reader.TextOrNumber(control.resource);
        reader.Skip(reader.Word()); // creation data
        if (!reader.Fits(0)) {
            return std::nullopt;
        }
        dialog.controls.push_back(control);
    }
    return dialog;
}

} // namespace kestrel::test
