// Builds TIFF files byte by byte for the tests: a header, directories with any entries
// (sound or not), value blocks, in either byte order, laid out exactly where asked.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

class TiffBuilder {
public:
    // One 12-byte entry; field holds bytes 8-11 as a number (an offset, or a value that
    // Inline* below has already put in the file's order).
    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        std::uint32_t field;
        bool raw = false; // field is four bytes already in file order
        unsigned char rawBytes[4] = {0, 0, 0, 0};
    };

    explicit TiffBuilder(bool bigEndian, std::uint16_t magic = 42) : big(bigEndian) {
        bytes.resize(8);
        bytes[0] = bytes[1] = big ? 'M' : 'I';
        Put16(2, magic);
    }

    bool BigEndian() const { return big; }
    std::size_t Size() const { return bytes.size(); }
    std::vector<unsigned char>& Bytes() { return bytes; }

    void SetFirstIfd(std::uint32_t offset) { Put32(4, offset); }

    // Appends raw bytes and returns their offset.
    std::uint32_t Append(const std::vector<unsigned char>& block) {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        bytes.insert(bytes.end(), block.begin(), block.end());
        return at;
    }
    void Pad(std::size_t count, unsigned char value = 0) {
        bytes.resize(bytes.size() + count, value);
    }

    std::uint32_t AppendDoubles(std::initializer_list<double> values) {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        for (double value : values) {
            Append64(std::bit_cast<std::uint64_t>(value));
        }
        return at;
    }
    std::uint32_t AppendFloats(std::initializer_list<float> values) {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        for (float value : values) {
            Append32(std::bit_cast<std::uint32_t>(value));
        }
        return at;
    }
    std::uint32_t AppendShorts(std::initializer_list<std::uint16_t> values) {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        for (auto value : values) {
            Append16(value);
        }
        return at;
    }
    std::uint32_t AppendLongs(std::initializer_list<std::uint32_t> values) {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        for (auto value : values) {
            Append32(value);
        }
        return at;
    }

    // An entry whose values lie at offset.
    static Entry At(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                    std::uint32_t offset) {
        return Entry{tag, type, count, offset};
    }
    // An entry holding the given bytes (already in file order) inline.
    static Entry Inline(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                        std::initializer_list<unsigned char> field) {
        Entry entry{tag, type, count, 0};
        entry.raw = true;
        std::size_t i = 0;
        for (unsigned char byte : field) {
            entry.rawBytes[i++] = byte;
        }
        return entry;
    }
    // Inline 16-bit values in this file's order.
    Entry InlineShorts(std::uint16_t tag, std::uint16_t type,
                       std::initializer_list<std::uint16_t> values) const {
        Entry entry{tag, type, static_cast<std::uint32_t>(values.size()), 0};
        entry.raw = true;
        std::size_t i = 0;
        for (auto value : values) {
            Encode16(entry.rawBytes + 2 * i++, value);
        }
        return entry;
    }
    // One inline 32-bit value in this file's order.
    Entry InlineLong(std::uint16_t tag, std::uint16_t type, std::uint32_t value) const {
        Entry entry{tag, type, 1, 0};
        entry.raw = true;
        Encode32(entry.rawBytes, value);
        return entry;
    }

    // Appends a directory and returns its offset.
    std::uint32_t AppendDirectory(const std::vector<Entry>& entries, std::uint32_t next = 0) {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        Append16(static_cast<std::uint16_t>(entries.size()));
        for (const Entry& entry : entries) {
            Append16(entry.tag);
            Append16(entry.type);
            Append32(entry.count);
            if (entry.raw) {
                bytes.insert(bytes.end(), entry.rawBytes, entry.rawBytes + 4);
            } else {
                Append32(entry.field);
            }
        }
        Append32(next);
        return at;
    }
    // Changes the next-IFD offset of the directory at offset.
    void SetNext(std::uint32_t directory, std::uint32_t next) {
        const std::uint16_t count = Get16(directory);
        Put32(directory + 2 + 12 * count, next);
    }

    void Put16(std::size_t at, std::uint16_t value) { Encode16(bytes.data() + at, value); }
    void Put32(std::size_t at, std::uint32_t value) { Encode32(bytes.data() + at, value); }
    std::uint16_t Get16(std::size_t at) const { return Decode16(bytes.data() + at); }
    std::uint32_t Get32(std::size_t at) const { return Decode32(bytes.data() + at); }

    void Encode16(unsigned char* out, std::uint16_t value) const {
        out[big ? 0 : 1] = static_cast<unsigned char>(value >> 8);
        out[big ? 1 : 0] = static_cast<unsigned char>(value);
    }
    void Encode32(unsigned char* out, std::uint32_t value) const {
        for (int i = 0; i < 4; ++i) {
            out[big ? 3 - i : i] = static_cast<unsigned char>(value >> (8 * i));
        }
    }
    std::uint16_t Decode16(const unsigned char* in) const {
        return static_cast<std::uint16_t>(big ? (in[0] << 8) | in[1] : (in[1] << 8) | in[0]);
    }
    std::uint32_t Decode32(const unsigned char* in) const {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= std::uint32_t{in[big ? 3 - i : i]} << (8 * i);
        }
        return value;
    }
    double DecodeDouble(const unsigned char* in) const {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) {
            value |= std::uint64_t{in[big ? 7 - i : i]} << (8 * i);
        }
        return std::bit_cast<double>(value);
    }

private:
    void Append16(std::uint16_t value) {
        Pad(2);
        Put16(bytes.size() - 2, value);
    }
    void Append32(std::uint32_t value) {
        Pad(4);
        Put32(bytes.size() - 4, value);
    }
    void Append64(std::uint64_t value) {
        for (int i = 0; i < 8; ++i) {
            bytes.push_back(static_cast<unsigned char>(value >> (8 * (big ? 7 - i : i))));
        }
    }

    bool big;
    std::vector<unsigned char> bytes;
};
