// The flake texture's state and its one upload.
#include "scene/flake_upload.h"

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

} // namespace

GLuint uploadFlakeTexture(const FlakePicture& picture)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    setTextureState();
    if (!picture.texels.empty())
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, bgraPixels,
                     GL_UNSIGNED_BYTE, picture.texels.data());
    return name;
}
