// The draw of the quad batch: the one engine file that talks to OpenGL.
//
// The OpenGL header of Windows expects two macros that <windows.h> normally provides; defining
// them here lets the engine include OpenGL alone. Both may be empty: on 64-bit Windows, the only
// Windows target, there is one calling convention, and the functions link through opengl32's
// import library without an import mark. Elsewhere empty is what the header itself would use.
#ifndef APIENTRY
#define APIENTRY
#endif
#ifndef WINGDIAPI
#define WINGDIAPI
#endif
#include <GL/gl.h>

#include "particles/particle_system.h"
#include "particles/quad_batch.h"

void ParticleSystem::draw()
{
    glVertexPointer(3, GL_DOUBLE, 0, vertexArray->data);
    glColorPointer(4, GL_DOUBLE, 0, colorArray->data);
    glTexCoordPointer(2, GL_DOUBLE, 0, texCoordArray->data);
    glDrawElements(GL_TRIANGLES, liveCount * QUAD_INDICES, GL_UNSIGNED_INT, indexArray);
}
