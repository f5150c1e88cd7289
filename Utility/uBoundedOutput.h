// TuBoundedOutput: wide text written into a fixed buffer of `capacity` units. At most
// capacity - 1 units are stored and then a terminator; every unit offered is counted, so the
// caller learns the length the whole text would have had.
#pragma once

class TuBoundedOutput {
public:
    TuBoundedOutput(char16_t* buffer, int capacity) : buffer(buffer), capacity(capacity) {}

    void Put(char16_t unit) {
        if (count + 1 < capacity)
            buffer[count] = unit;
        ++count;
    }
    // Widens byte by byte, as every narrow text of the library is widened.
    void PutNarrow(const char* text) {
        while (*text != '\0')
            Put(static_cast<char16_t>(static_cast<unsigned char>(*text++)));
    }
    // Terminates the stored text and returns the full count.
    int Finish() {
        if (capacity > 0)
            buffer[count < capacity ? count : capacity - 1] = 0;
        return count;
    }

private:
    char16_t* buffer;
    int capacity;
    int count = 0;
};
