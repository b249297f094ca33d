// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>

// One picture compiled into the program: its file's name and its bytes. The embedder lists every
// picture of a namespace in a table of these, sorted by file name (Images::pictures, Fonts::pictures),
// so that code which walks the pictures needs no list of its own.
struct EmbeddedPicture {
    // The picture's file name, as "map.png".
    const char* file;
    // Where the namespace keeps the address of the bytes (&Images::map_png), which is known only
    // once the program is linked.
    const char* const* bytes;
    unsigned int size;

    const char* data() const { return *bytes; }
};

// The picture of a table with the given file name, or null.
template <std::size_t N>
const EmbeddedPicture* findPicture(const EmbeddedPicture (&table)[N], std::string_view file)
{
    for (const EmbeddedPicture& picture : table)
        if (file == picture.file)
            return &picture;
    return nullptr;
}
