// A generated solid of shared vertices and indexed triangles, drawn in four switchable
// modes: points, colour-graded triangles, spokes from the origin, and an outline.
#pragma once

#include "render/SceneObject.h"
#include "render/Vec4.h"

#include <cstdint>
#include <vector>

class Mesh : public SceneObject {
public:
    // Generates first when the geometry is not built. Blending, point size and line
    // width are the caller's; the colour last set stays current.
    void draw(float seconds) override;
    virtual void generate() = 0;

    // Marks the geometry for rebuilding at the next draw.
    void setSize(float value);
    // Each mode is on only when its switch equals 1.
    void setShowOutline(int value) { showOutline = value; }
    void setShowTriangles(int value) { showTriangles = value; }
    void setShowSpokes(int value) { showSpokes = value; }
    void setAlpha(float value) { alpha = value; }
    void setRed(float value) { red = value; }
    void setGreen(float value) { green = value; }

    int vertexCount() const { return vertexCount_; }
    // Index in 0 .. vertexCount() - 1; outside it vertex() gives zeros and setVertex
    // does nothing.
    Vec4 vertex(int i) const;
    void setVertex(int i, float x, float y, float z, float w);

    int32_t faceCount() const { return faceCount_; }
    // Corners of triangle i: faceA[i], faceB[i], faceC[i].
    const std::vector<int32_t>& faceA() const { return faceA_; }
    const std::vector<int32_t>& faceB() const { return faceB_; }
    const std::vector<int32_t>& faceC() const { return faceC_; }

protected:
    // Sizes the arrays (contents unset) and sets the counts in use.
    void allocate(int vertexCapacity, int faceCapacity);
    void setFace(int i, int32_t a, int32_t b, int32_t c);

    int32_t vertexCount_ = 0;
    std::vector<Vec4> vertices;
    int32_t faceCount_ = 0;
    std::vector<int32_t> faceA_;
    std::vector<int32_t> faceB_;
    std::vector<int32_t> faceC_;
    int32_t showOutline = 1;
    int32_t showTriangles = 1;
    int32_t showPoints = 1; // no setter: always on
    int32_t showSpokes = 1;
    float alpha = 0.5f;
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f; // no setter
    float size = 1.0f;
};
