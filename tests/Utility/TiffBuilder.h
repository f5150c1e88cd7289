// Builds TIFF files byte by byte for the tests: a header, directories with any entries
// (sound or not), value blocks, in either byte order and either layout (classic TIFF with
// 32-bit offsets, or BigTIFF with 64-bit ones), laid out exactly where asked.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

class TiffBuilder {
public:
    enum class Layout { Classic, BigTiff };

    // One entry; field holds its value field (4 bytes in a classic TIFF, 8 in a BigTIFF) as a
    // number (an offset, or a value that Inline* below has already put in the file's order).
    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint64_t count;
        std::uint64_t field;
        bool raw = false; // field is rawBytes, already in file order
        unsigned char rawBytes[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    };

    explicit TiffBuilder(bool bigEndian, std::uint16_t magic = 42) : big(bigEndian) {
        bytes.resize(8);
        bytes[0] = bytes[1] = big ? 'M' : 'I';
        Put16(2, magic);
    }
    // A BigTIFF header: magic 43, offset size 8, reserved 0, and the first-IFD offset 0.
    TiffBuilder(bool bigEndian, Layout layout) : TiffBuilder(bigEndian) {
        if (layout == Layout::BigTiff) {
            wide = true;
            bytes.resize(16);
            Put16(2, 43);
            Put16(4, 8);
        }
    }

    bool BigEndian() const { return big; }
    bool BigTiff() const { return wide; }
    std::size_t Size() const { return bytes.size(); }
    std::vector<unsigned char>& Bytes() { return bytes; }
    // The widths of this layout's structures.
    std::size_t HeaderSize() const { return wide ? 16 : 8; }
    std::size_t CountSize() const { return wide ? 8 : 2; }
    std::size_t FieldSize() const { return wide ? 8 : 4; }
    std::size_t EntrySize() const { return 4 + 2 * FieldSize(); }
    std::size_t DirectorySize(std::size_t entries) const {
        return CountSize() + EntrySize() * entries + FieldSize();
    }

    void SetFirstIfd(std::uint64_t offset) { PutField(wide ? 8 : 4, offset); }

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
    std::uint32_t AppendLong8s(std::initializer_list<std::uint64_t> values) {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        for (auto value : values) {
            Append64(value);
        }
        return at;
    }

    // An entry whose values lie at offset.
    static Entry At(std::uint16_t tag, std::uint16_t type, std::uint64_t count,
                    std::uint64_t offset) {
        return Entry{tag, type, count, offset};
    }
    // An entry holding the given bytes (already in file order) inline.
    static Entry Inline(std::uint16_t tag, std::uint16_t type, std::uint64_t count,
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
    // One inline 64-bit value in this file's order (a BigTIFF's value field holds it).
    Entry InlineLong8(std::uint16_t tag, std::uint16_t type, std::uint64_t value) const {
        Entry entry{tag, type, 1, 0};
        entry.raw = true;
        Encode64(entry.rawBytes, value);
        return entry;
    }

    // Appends a directory and returns its offset.
    std::uint32_t AppendDirectory(const std::vector<Entry>& entries, std::uint64_t next = 0) {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        AppendField(entries.size(), CountSize());
        for (const Entry& entry : entries) {
            Append16(entry.tag);
            Append16(entry.type);
            AppendField(entry.count, FieldSize());
            if (entry.raw) {
                bytes.insert(bytes.end(), entry.rawBytes, entry.rawBytes + FieldSize());
            } else {
                AppendField(entry.field, FieldSize());
            }
        }
        AppendField(next, FieldSize());
        return at;
    }
    // Changes the next-IFD offset of the directory at offset.
    void SetNext(std::uint64_t directory, std::uint64_t next) {
        const std::uint64_t count = wide ? Get64(directory) : Get16(directory);
        PutField(directory + DirectorySize(count) - FieldSize(), next);
    }

    void Put16(std::size_t at, std::uint16_t value) { Encode16(bytes.data() + at, value); }
    void Put32(std::size_t at, std::uint32_t value) { Encode32(bytes.data() + at, value); }
    void Put64(std::size_t at, std::uint64_t value) { Encode64(bytes.data() + at, value); }
    // An offset or a count: 32 bits in a classic TIFF, 64 in a BigTIFF.
    void PutField(std::size_t at, std::uint64_t value) {
        if (wide) {
            Put64(at, value);
        } else {
            Put32(at, static_cast<std::uint32_t>(value));
        }
    }
    std::uint16_t Get16(std::size_t at) const { return Decode16(bytes.data() + at); }
    std::uint32_t Get32(std::size_t at) const { return Decode32(bytes.data() + at); }
    std::uint64_t Get64(std::size_t at) const { return Decode64(bytes.data() + at); }

    void Encode16(unsigned char* out, std::uint16_t value) const { EncodeN(out, value, 2); }
    void Encode32(unsigned char* out, std::uint32_t value) const { EncodeN(out, value, 4); }
    void Encode64(unsigned char* out, std::uint64_t value) const { EncodeN(out, value, 8); }
    std::uint16_t Decode16(const unsigned char* in) const {
        return static_cast<std::uint16_t>(DecodeN(in, 2));
    }
    std::uint32_t Decode32(const unsigned char* in) const {
        return static_cast<std::uint32_t>(DecodeN(in, 4));
    }
    std::uint64_t Decode64(const unsigned char* in) const { return DecodeN(in, 8); }
    double DecodeDouble(const unsigned char* in) const {
        return std::bit_cast<double>(DecodeN(in, 8));
    }

private:
    void EncodeN(unsigned char* out, std::uint64_t value, int size) const {
        for (int i = 0; i < size; ++i) {
            out[big ? size - 1 - i : i] = static_cast<unsigned char>(value >> (8 * i));
        }
    }
    std::uint64_t DecodeN(const unsigned char* in, int size) const {
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) {
            value |= std::uint64_t{in[big ? size - 1 - i : i]} << (8 * i);
        }
        return value;
    }
    void AppendField(std::uint64_t value, std::size_t size) {
        Pad(size);
        EncodeN(bytes.data() + bytes.size() - size, value, static_cast<int>(size));
    }
    void Append16(std::uint16_t value) { AppendField(value, 2); }
    void Append32(std::uint32_t value) { AppendField(value, 4); }
    void Append64(std::uint64_t value) { AppendField(value, 8); }

    bool big;
    bool wide = false;
    std::vector<unsigned char> bytes;
};

// One directory decoded from a file image, in the builder's byte order and layout.
struct DirectoryImage {
    std::vector<std::uint16_t> tags;
    std::vector<std::vector<unsigned char>> entries; // the bytes of each entry
    std::uint64_t next = 0;
};

inline DirectoryImage DirectoryAt(const TiffBuilder& order, const std::vector<unsigned char>& bytes,
                                  std::uint64_t offset) {
    DirectoryImage image;
    const unsigned char* at = bytes.data() + offset;
    const std::uint64_t count = order.BigTiff() ? order.Decode64(at) : order.Decode16(at);
    for (std::uint64_t i = 0; i < count; ++i) {
        const unsigned char* entry = at + order.CountSize() + order.EntrySize() * i;
        image.tags.push_back(order.Decode16(entry));
        image.entries.emplace_back(entry, entry + order.EntrySize());
    }
    const unsigned char* next = at + order.DirectorySize(count) - order.FieldSize();
    image.next = order.BigTiff() ? order.Decode64(next) : order.Decode32(next);
    return image;
}

// Pixel scale (10, 20, 0) and tie point (0, 0, 0, 500000, 4000480, 0) after the header, then
// one directory of 256, 257, 33550, 33922 at the end of the file.
inline TiffBuilder SmallGeoTiff(bool bigEndian,
                                TiffBuilder::Layout layout = TiffBuilder::Layout::Classic) {
    TiffBuilder tiff(bigEndian, layout);
    const auto scale = tiff.AppendDoubles({10.0, 20.0, 0.0});
    const auto tie = tiff.AppendDoubles({0, 0, 0, 500000.0, 4000480.0, 0});
    tiff.SetFirstIfd(tiff.AppendDirectory(
        {tiff.InlineShorts(256, 3, {64}), tiff.InlineShorts(257, 3, {48}),
         TiffBuilder::At(33550, 12, 3, scale), TiffBuilder::At(33922, 12, 6, tie)}));
    return tiff;
}
