// TuValue: a tagged value that owns a copy of what it holds (an error argument or a
// program fact), and the message formatter that renders templates with such values.
#pragma once

#include <cstdint>

enum TuValueKind : int {
    tvNone = 0,
    tvChar = 1,
    tvWideChar = 2,
    tvInt = 3,
    tvLong = 4,
    tvUnsigned = 5,
    tvDouble = 6,
    tvText = 7,
    tvWideText = 8,
};

class TuValue {
public:
    static constexpr int AreaUnits = 48; // room for 48 wide characters

    TuValue();
    TuValue(const TuValue& other);
    TuValue& operator=(const TuValue& other);

    int Kind() const { return kind; }

    void SetChar(int character);
    void SetWideChar(int character);
    void SetInt(std::int32_t value);
    void SetLong(std::int32_t value);
    void SetUnsigned(std::uint32_t value);
    void SetDouble(double value);
    void SetText(const char* text);         // elided copy when 48 bytes or longer
    void SetWideText(const char16_t* text); // elided copy when 48 units or longer

    std::int32_t AsSigned() const;    // tvInt, tvLong
    std::uint32_t AsUnsigned() const; // the first 32 bits of the value area
    double AsDouble() const;
    const char* Text() const;         // tvText
    const char16_t* WideText() const; // tvWideText

    // Writes the value as wide text under one conversion; returns the characters produced.
    // At most capacity - 1 are stored, then a terminator.
    int Render(char16_t* buffer, int capacity, char16_t conversion, int precision, bool alternate,
               char16_t sign) const;

private:
    int kind{tvNone};
    alignas(8) unsigned char area[AreaUnits * 2];
};

// Expands a wide template with the given arguments and the program facts into output
// (capacity units including the terminator). Returns the length of the full expansion.
int TuFormat(char16_t* output, int capacity, const char16_t* messageTemplate,
             const TuValue* arguments, int count);
