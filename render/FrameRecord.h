// SPDX-License-Identifier: MIT
#pragma once

#include "render/DrawOperation.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The drawing operations of one frame in the order they were called, with the characters of its text
// operations kept end to end. OpenGLDrawer keeps the frame being drawn and the one on screen, and
// compares them to find frames that would change nothing. Clearing keeps the memory, so recording a
// frame allocates nothing once the first frames have been seen.
class FrameRecord {
public:
    // Forgets every operation.
    void clear();
    // Appends an operation.
    void add(const DrawOperation& operation);
    // Appends a text operation with its characters.
    void addText(DrawOperation operation, std::string_view characters);

    std::size_t size() const { return operations.size(); }
    const DrawOperation& operator[](std::size_t index) const { return operations[index]; }
    // The characters of a text operation of this record.
    std::string_view textOf(const DrawOperation& operation) const;

    // Whether both hold the same operations with the same arguments, byte for byte, and the same text.
    bool operator==(const FrameRecord& other) const;
    // Exchanges the contents (and memory) of two records.
    void swap(FrameRecord& other);

private:
    // The operations in calling order.
    std::vector<DrawOperation> operations;
    // All characters of the text operations, which refer to it by position.
    std::string text;
};
