// SPDX-License-Identifier: MIT
#pragma once

// A decoded picture: width x height pixels of 4 bytes (R, G, B, A), rows from the top down with no
// gaps between them. The pixels are an array allocated with new[]; whoever holds the record owns them
// until handing them on (Drawer::loadImage takes them over, Drawer::loadGlyph does not). A picture
// that could not be decoded has no pixels and a size of 0 by 0.
struct LoadedImage {
    // The pixel bytes, or null when decoding failed.
    unsigned char* pixels = nullptr;
    // Width in pixels; 0 when decoding failed.
    unsigned int width = 0;
    // Height in pixels; 0 when decoding failed.
    unsigned int height = 0;
};
