// The flake texture on Windows: the stored 24-bit flake picture read from the program's bitmap
// resource, then uploaded as on every platform.
#include "scene/flake_texture.h"

#include <cstdint>

#include "scene/flake_upload.h"

FlakePicture readFlakePicture(HINSTANCE module)
{
    FlakePicture picture;
    HANDLE bitmap = LoadImageW(module, MAKEINTRESOURCEW(flakeBitmapId), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
    if (bitmap == nullptr)
        return picture;
    // Only a 24-bit picture whose bits can be read gives texels.
    BITMAP record = {};
    if (GetObjectW(bitmap, sizeof record, &record) == sizeof record && record.bmBitsPixel == 24 &&
        record.bmBits != nullptr && record.bmWidthBytes >= 0) {
        const std::size_t stride = static_cast<std::size_t>(record.bmWidthBytes);
        const std::size_t size = stride * static_cast<std::size_t>(record.bmHeight);
        if (convertFlakePixels(record.bmWidth, record.bmHeight,
                               static_cast<const std::uint8_t*>(record.bmBits), size, stride,
                               picture.texels)) {
            picture.width = record.bmWidth;
            picture.height = record.bmHeight;
        }
    }
    DeleteObject(bitmap);
    return picture;
}

GLuint loadFlakeTexture(HINSTANCE module)
{
    return uploadFlakeTexture(readFlakePicture(module));
}
