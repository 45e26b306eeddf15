// The flake texture: the program's flake picture with alpha from brightness, as an OpenGL texture.
#pragma once

#include <windows.h>

#include <GL/gl.h>

#include "resources/resource_ids.h"
#include "scene/flake_pixels_rules.h"

// Resource id of the flake picture in the program file.
constexpr WORD flakeBitmapId = TAVREL_FLAKE_BITMAP_ID;

// The picture of bitmap 112 of module with alpha from brightness; empty when the bitmap is
// missing or not a 24-bit picture whose bits can be read.
FlakePicture readFlakePicture(HINSTANCE module);

// Creates the flake texture from bitmap 112 of module and leaves it bound to GL_TEXTURE_2D.
// Needs a current OpenGL context. When the picture cannot be loaded the texture is left without
// an image, and flakes are drawn as plain squares instead of failing.
GLuint loadFlakeTexture(HINSTANCE module);
