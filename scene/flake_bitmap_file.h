// The flake picture's bitmap file, carried inside the program, byte for byte as it lies in
// resources/flake.bmp (the build writes it into a source file).
#pragma once

#include <cstddef>

extern const unsigned char flakeBitmapFile[];
extern const std::size_t flakeBitmapFileSize;
