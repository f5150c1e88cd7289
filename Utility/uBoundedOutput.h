// TuBoundedOutput: wide text written into a fixed buffer of `capacity` units. At most
// capacity - 1 units are stored and then a terminator; every unit offered is counted, so the
// caller learns the length the whole text would have had.
#pragma once

class TuBoundedOutput {
public:
    TuBoundedOutput(char16_t* buffer, int capacity) : buffer(buffer), capacity(capacity) {}

    void Put(char16_t unit) {
        if (count + 1 < capacity) {
            buffer[count] = unit;
        }
        ++count;
    }
    // Widens byte by byte, as every narrow text of the library is widened.
    void PutNarrow(const char* text) {
        while (*text != '\0') {
            Put(static_cast<char16_t>(static_cast<unsigned char>(*text++)));
        }
    }
    // Writes length units of text in a field of width units: spaces make up the difference,
    // before the text, or after it when leftJustify is set.
    void PutPadded(const char16_t* text, int length, int width, bool leftJustify) {
        const int padding = width > length ? width - length : 0;
        if (!leftJustify) {
            PutSpaces(padding);
        }
        for (int i = 0; i < length; ++i) {
            Put(text[i]);
        }
        if (leftJustify) {
            PutSpaces(padding);
        }
    }
    // Terminates the stored text and returns the full count.
    int Finish() {
        if (capacity > 0) {
            buffer[count < capacity ? count : capacity - 1] = 0;
        }
        return count;
    }

private:
    void PutSpaces(int count) {
        for (int i = 0; i < count; ++i) {
            Put(u' ');
        }
    }

    char16_t* buffer;
    int capacity;
    int count = 0;
};
