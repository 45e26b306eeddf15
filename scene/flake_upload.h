// The flake picture uploaded once as the OpenGL texture every flake is drawn with. Portable:
// OpenGL 1.1 only, on whichever platform made the context.
#pragma once

#include <GL/gl.h>

#include "scene/flake_pixels_rules.h"

// Creates the flake texture from the picture and leaves it bound to GL_TEXTURE_2D. Needs a
// current OpenGL context. An empty picture leaves the texture without an image, and flakes are
// drawn as plain squares instead of failing.
GLuint uploadFlakeTexture(const FlakePicture& picture);
