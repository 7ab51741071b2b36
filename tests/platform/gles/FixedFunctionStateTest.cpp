// The layer's CPU-side state: attribute stacks restore exactly their groups, matrix
// stacks keep GL's limits, begin/end turns quads into triangles.
#include "platform/gles/FixedFunctionState.h"

#include <gtest/gtest.h>

namespace {

using ffgl::FixedFunctionState;

constexpr GLbitfield feedbackMask = 0x0B71; // what the feedback layer and the strips push
constexpr GLenum stackOverflow = 0x0503;
constexpr GLenum stackUnderflow = 0x0504;

TEST(FixedFunctionState, PopAttribRestoresOnlyThePushedGroups)
{
    FixedFunctionState state({ 0, 0, 640, 480 });
    state.color(0.1f, 0.2f, 0.3f, 0.4f);
    state.texCoord(0.5f, 0.6f);
    state.pushAttrib(feedbackMask);
    {
        state.color(1.0f, 1.0f, 1.0f, 0.65f);
        state.texCoord(0.625f, 0.9375f);
        state.normal(1.0f, 0.0f, 0.0f);
        state.setEnabled(GL_DEPTH_TEST, true);
        state.viewport(10, 20, 30, 40);
        // blending and texturing are not in the mask: they stay as set
        state.setEnabled(GL_BLEND, true);
        state.setEnabled(GL_TEXTURE_2D, true);
        state.blendFunc(GL_SRC_ALPHA_SATURATE, GL_ONE);
    }
    state.popAttrib();

    EXPECT_EQ(state.currentColor(), (std::array<float, 4> { 0.1f, 0.2f, 0.3f, 0.4f }));
    EXPECT_EQ(state.currentTexCoord(), (std::array<float, 2> { 0.5f, 0.6f }));
    EXPECT_EQ(state.currentNormal(), (std::array<float, 3> { 0.0f, 0.0f, 1.0f }));
    EXPECT_FALSE(state.enabled(GL_DEPTH_TEST));
    EXPECT_EQ(state.currentViewport().width, 640);
    EXPECT_EQ(state.currentViewport().x, 0);
    EXPECT_TRUE(state.enabled(GL_BLEND));
    EXPECT_TRUE(state.enabled(GL_TEXTURE_2D));
    EXPECT_EQ(state.blendSource(), static_cast<GLenum>(GL_SRC_ALPHA_SATURATE));
    EXPECT_EQ(state.attributeDepth(), 0);
}

TEST(FixedFunctionState, NestedPushesUnwindInOrderAndUnderflowChangesNothing)
{
    FixedFunctionState state({ 0, 0, 640, 480 });
    state.color(0.0f, 0.0f, 0.0f, 1.0f);
    state.pushAttrib(ffgl::currentBit);
    state.color(1.0f, 0.0f, 0.0f, 1.0f);
    state.viewport(1, 2, 3, 4);
    state.pushAttrib(ffgl::viewportBit | ffgl::currentBit);
    state.color(0.0f, 1.0f, 0.0f, 1.0f);
    state.viewport(5, 6, 7, 8);

    state.popAttrib();
    EXPECT_EQ(state.currentColor()[0], 1.0f);
    EXPECT_EQ(state.currentViewport().x, 1);
    state.popAttrib();
    EXPECT_EQ(state.currentColor()[0], 0.0f);
    EXPECT_EQ(state.currentViewport().x, 1) << "the outer push did not hold the viewport";

    EXPECT_EQ(state.takeError(), static_cast<GLenum>(GL_NO_ERROR));
    state.popAttrib();
    EXPECT_EQ(state.takeError(), stackUnderflow);
    EXPECT_EQ(state.currentColor()[0], 0.0f);
}

TEST(FixedFunctionState, ClientAttribRestoresPixelStore)
{
    FixedFunctionState state;
    state.pushClientAttrib(ffgl::clientPixelStoreBit);
    state.pixelStore(GL_UNPACK_ALIGNMENT, 1);
    state.pixelStore(GL_PACK_ALIGNMENT, 2);
    EXPECT_EQ(state.pixelStoreValue(GL_UNPACK_ALIGNMENT), 1);
    state.popClientAttrib();
    EXPECT_EQ(state.pixelStoreValue(GL_UNPACK_ALIGNMENT), 4);
    EXPECT_EQ(state.pixelStoreValue(GL_PACK_ALIGNMENT), 4);
}

TEST(FixedFunctionState, MatrixStacksAreSeparateAndKeepGlLimits)
{
    FixedFunctionState state;
    state.matrixMode(ffgl::glProjection);
    state.pushMatrix();
    state.multiply(ffgl::Matrix4::translation(1.0f, 2.0f, 3.0f));
    state.matrixMode(ffgl::glModelview);
    state.pushMatrix();
    state.multiply(ffgl::Matrix4::scaling(2.0f, 2.0f, 2.0f));
    EXPECT_EQ(state.projection().m[12], 1.0f);
    EXPECT_EQ(state.modelview().m[0], 2.0f);
    EXPECT_EQ(state.modelview().m[12], 0.0f);

    state.popMatrix(); // modelview
    EXPECT_EQ(state.modelview().m[0], 1.0f);
    EXPECT_EQ(state.projection().m[12], 1.0f) << "a modelview pop touched the projection";
    state.matrixMode(ffgl::glProjection);
    state.popMatrix();
    EXPECT_EQ(state.projection().m[12], 0.0f);

    state.popMatrix();
    EXPECT_EQ(state.takeError(), stackUnderflow);
    EXPECT_EQ(state.matrixDepth(ffgl::glProjection), 1);

    for (int i = 0; i < FixedFunctionState::maxMatrixDepth + 3; ++i)
        state.pushMatrix();
    EXPECT_EQ(state.matrixDepth(ffgl::glProjection), FixedFunctionState::maxMatrixDepth);
    EXPECT_EQ(state.takeError(), stackOverflow);
}

TEST(FixedFunctionState, QuadsBecomeTrianglesWithTheColoursCurrentAtEachVertex)
{
    FixedFunctionState state;
    ffgl::Primitive primitive;
    state.begin(ffgl::glQuads);
    state.color(1.0f, 0.0f, 0.0f, 1.0f);
    state.vertex(0.0f, 0.0f, 0.0f);
    state.vertex(1.0f, 0.0f, 0.0f);
    state.color(0.0f, 0.0f, 1.0f, 1.0f);
    state.vertex(1.0f, 1.0f, 0.0f);
    state.vertex(0.0f, 1.0f, 0.0f);
    state.vertex(5.0f, 5.0f, 5.0f); // an unfinished quad is not drawn
    ASSERT_TRUE(state.end(primitive));
    EXPECT_EQ(primitive.mode, static_cast<GLenum>(GL_TRIANGLES));
    ASSERT_EQ(primitive.vertices.size(), 6u);
    const float expectedX[6] = { 0, 1, 1, 0, 1, 0 };
    const float expectedY[6] = { 0, 0, 1, 0, 1, 1 };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(primitive.vertices[i].position[0], expectedX[i]) << i;
        EXPECT_EQ(primitive.vertices[i].position[1], expectedY[i]) << i;
        EXPECT_EQ(primitive.vertices[i].color[0], expectedY[i] == 0 ? 1.0f : 0.0f) << i;
    }

    state.begin(GL_LINES);
    state.vertex(0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(state.end(primitive)) << "a line needs two vertices";
    EXPECT_FALSE(state.end(primitive));
    EXPECT_EQ(state.takeError(), static_cast<GLenum>(GL_INVALID_OPERATION));
}

TEST(FixedFunctionState, SizesRoundToWholePixelsAsAliasedGlDoes)
{
    FixedFunctionState state;
    state.pointSize(4.4f);
    EXPECT_EQ(state.rasterPointSize(), 4.0f);
    state.pointSize(0.2f);
    EXPECT_EQ(state.rasterPointSize(), 1.0f);
    state.lineWidth(2.5f);
    EXPECT_EQ(state.rasterLineWidth(), 3.0f);
    state.lineWidth(0.0f);
    EXPECT_EQ(state.takeError(), static_cast<GLenum>(GL_INVALID_VALUE));
    EXPECT_EQ(state.rasterLineWidth(), 3.0f);
}

} // namespace
