// The flake picture read from the bytes of a bitmap file, as the program carries it on systems
// without Windows resources. Portable: no operating-system header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scene/flake_pixels_rules.h"

// Reads a bitmap file of the kind the flake picture is: uncompressed, 24 bits a pixel, rows
// stored bottom-up and padded to four bytes, with alpha from brightness as on every platform.
// A file of any other kind, or one whose pixels do not lie inside its size bytes, gives an empty
// picture; nothing outside the bytes is read.
FlakePicture readBitmapFile(const std::uint8_t* bytes, std::size_t size);
