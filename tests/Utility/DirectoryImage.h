// One image file directory of a file's bytes, decoded for the tests: its tag ids, its entries'
// bytes and its next-IFD offset.
#pragma once

#include <cstdint>
#include <vector>

#include "TiffBuilder.h"

struct DirectoryImage {
    std::vector<std::uint16_t> tags;
    std::vector<std::vector<unsigned char>> entries; // the 12 bytes of each
    std::uint32_t next = 0;
};

// The directory at offset of bytes, in the byte order of order.
inline DirectoryImage DirectoryAt(const TiffBuilder& order, const std::vector<unsigned char>& bytes,
                                  std::uint32_t offset) {
    DirectoryImage image;
    const std::uint16_t count = order.Decode16(bytes.data() + offset);
    for (std::uint16_t i = 0; i < count; ++i) {
        const unsigned char* entry = bytes.data() + offset + 2 + 12 * i;
        image.tags.push_back(order.Decode16(entry));
        image.entries.emplace_back(entry, entry + 12);
    }
    image.next = order.Decode32(bytes.data() + offset + 2 + 12 * count);
    return image;
}
