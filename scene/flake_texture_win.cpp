// The flake texture: loads the stored 24-bit flake picture, derives alpha from brightness and
// uploads it once.
#include "scene/flake_texture.h"

#include <cstdint>
#include <vector>

#include "scene/flake_pixels_rules.h"

namespace {

constexpr GLenum pointSprite = 0x8861;
constexpr GLenum coordReplace = 0x8862;
constexpr GLenum bgraPixels = 0x80E1;

void setTextureState()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexEnvi(pointSprite, coordReplace, GL_TRUE);
}

// The picture's texels, or none when the bitmap is missing or not a 24-bit picture whose bits
// can be read.
std::vector<std::uint8_t> flakeTexels(HANDLE bitmap, int& width, int& height)
{
    std::vector<std::uint8_t> texels;
    BITMAP record = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof record, &record) != sizeof record)
        return texels;
    if (record.bmBitsPixel != 24 || record.bmBits == nullptr || record.bmWidthBytes < 0)
        return texels;
    const std::size_t stride = static_cast<std::size_t>(record.bmWidthBytes);
    const std::size_t size = stride * static_cast<std::size_t>(record.bmHeight);
    if (convertFlakePixels(record.bmWidth, record.bmHeight,
                           static_cast<const std::uint8_t*>(record.bmBits), size, stride, texels)) {
        width = record.bmWidth;
        height = record.bmHeight;
    }
    return texels;
}

} // namespace

GLuint loadFlakeTexture(HINSTANCE module)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);

    HANDLE bitmap = LoadImageW(module, MAKEINTRESOURCEW(flakeBitmapId), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
    setTextureState();

    int width = 0;
    int height = 0;
    const std::vector<std::uint8_t> texels = flakeTexels(bitmap, width, height);
    if (!texels.empty())
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, bgraPixels, GL_UNSIGNED_BYTE,
                     texels.data());
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    return name;
}
