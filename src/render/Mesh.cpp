// Drawing of the generated meshes in immediate mode.
#include "render/Mesh.h"

#include "platform/GL.h"

namespace {

void putVertex(const Vec4& v)
{
    glVertex3f(v.x, v.y, v.z);
}

} // namespace

void Mesh::draw(float)
{
    if (!generated)
        generate();

    // points, in the current colour
    if (showPoints == 1) {
        glBegin(GL_POINTS);
        for (int i = 0; i < vertexCount_; ++i)
            putVertex(vertices[i]);
        glEnd();
    }

    // triangles graded red, green, blue from corner to corner
    if (showTriangles == 1) {
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < faceCount_; ++i) {
            glColor4f(red, 0.0f, 0.0f, alpha);
            putVertex(vertices[faceA_[i]]);
            glColor4f(0.0f, green, 0.0f, alpha);
            putVertex(vertices[faceB_[i]]);
            glColor4f(0.0f, 0.0f, blue, alpha);
            putVertex(vertices[faceC_[i]]);
        }
        glEnd();
    }

    // yellow spokes from the origin to every corner
    if (showSpokes == 1) {
        glColor4f(1.0f, 1.0f, 0.0f, 1.0f);
        glBegin(GL_LINES);
        for (int i = 0; i < faceCount_; ++i) {
            for (const int32_t corner : { faceA_[i], faceB_[i], faceC_[i] }) {
                glVertex3f(0.0f, 0.0f, 0.0f);
                putVertex(vertices[corner]);
            }
        }
        glEnd();
    }

    // magenta outline through all vertices, closed
    if (showOutline == 1) {
        glColor4f(1.0f, 0.0f, 1.0f, 1.0f);
        glBegin(GL_LINE_STRIP);
        for (int i = 0; i < vertexCount_; ++i)
            putVertex(vertices[i]);
        if (vertexCount_ > 0)
            putVertex(vertices[0]);
        glEnd();
    }
}

void Mesh::setSize(float value)
{
    size = value;
    generated = false;
}

Vec4 Mesh::vertex(int i) const
{
    if (i < 0 || i >= vertexCount_)
        return {};
    return vertices[i];
}

void Mesh::setVertex(int i, float x, float y, float z, float w)
{
    if (i < 0 || i >= vertexCount_)
        return;
    vertices[i] = { x, y, z, w };
}

void Mesh::allocate(int vertexCapacity, int faceCapacity)
{
    vertices.assign(vertexCapacity, Vec4 {});
    faceA_.assign(faceCapacity, 0);
    faceB_.assign(faceCapacity, 0);
    faceC_.assign(faceCapacity, 0);
}

void Mesh::setFace(int i, int32_t a, int32_t b, int32_t c)
{
    faceA_[i] = a;
    faceB_[i] = b;
    faceC_[i] = c;
}
