// The ring scene: where the ring's vertices go, and its own beat flash.
#include "scenes/SceneFixture.h"
#include "scenes/SpinningSolidsEffect.h"
#include "scenes/VertexRingEffect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class VertexRing : public scenetest::SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        if (HasFatalFailure())
            return;
        VertexRingEffect::flash = 0.0f; // as at program start
        scene.load();
        scene.enter();
    }

    VertexRingEffect scene;
};

} // namespace

TEST_F(VertexRing, VerticesLieOnARingOfRadiusTwoLiftedByTheLevel)
{
    for (const float level : {0.0f, 0.3f}) {
        for (const float t : {0.0f, 2.5f}) {
            setMusic(5, 2, level);
            scene.draw(t);
            ASSERT_EQ(scene.mesh.vertexCount(), 56);
            for (int i = 0; i < 56; ++i) {
                const Vec4 v = scene.mesh.vertex(i);
                const float y = v.y - 5.0f * level;
                EXPECT_NEAR(v.x * v.x + y * y, 4.0f, 1e-5f) << "vertex " << i << " level " << level << " t " << t;
                EXPECT_NEAR(v.z, 2.0f * std::sin(v.y) + level, 1e-5f) << "vertex " << i;
            }
        }
    }
    scene.draw(0.0f); // level 0.3
    EXPECT_EQ(scene.mesh.vertex(0).x, 0.0f);
    EXPECT_FLOAT_EQ(scene.mesh.vertex(0).y, 3.5f);
}

TEST_F(VertexRing, FlashIsFourOnTheBeatDecaysPerFrameAndIsTheScenesOwn)
{
    SpinningSolidsEffect opening;
    opening.load();
    SpinningSolidsEffect::flash = 0.5f;
    setMusic(5, 0);
    for (const float flash : {4.0f, 3.2f, 2.688f, 2.3267328f, 2.0560485f}) {
        scene.draw(1.0f);
        EXPECT_FLOAT_EQ(VertexRingEffect::flash, flash);
        setMusic(5, 3);
    }
    EXPECT_EQ(SpinningSolidsEffect::flash, 0.5f);
    opening.draw(1.0f);
    EXPECT_FLOAT_EQ(VertexRingEffect::flash, 2.0560485f);
}
