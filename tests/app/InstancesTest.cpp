// The instances table against the pointers it fills, and the timeline built from them.
#include "app/Instances.h"
#include "music/TimelineState.h"
#include "render/FeedbackLayer.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "support/GLTestContext.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

class Instances : public testsupport::GLTest { };

TEST_F(Instances, EveryPointerIsOneRowCreatedBeforeMainAndTheFeedbackLayerLoadsFirst)
{
    const std::vector<Effect*> pointers = { colorFillEffect, feedbackLayer, spinningSolidsEffect,
        vertexRingEffect, cubeRingEffect, latticeStripsEffect, flashingLatticeEffect };
    std::vector<Effect*> rows;
    for (const InstanceRow& row : instances)
        rows.push_back(row.instance());
    EXPECT_EQ(rows, pointers); // creation, release and delete order
    EXPECT_EQ(std::set<Effect*>(rows.begin(), rows.end()).size(), rows.size())
        << "two rows share an instance";
    for (Effect* instance : rows)
        EXPECT_NE(instance, nullptr);

    std::vector<Effect*> loadOrder;
    float lastPercent = 0.0f;
    for (const InstanceRow* row : instancesInLoadOrder()) {
        loadOrder.push_back(row->instance());
        EXPECT_GT(row->loadedPercent, lastPercent) << "the bar must grow with every load";
        lastPercent = row->loadedPercent;
    }
    EXPECT_EQ(loadOrder,
        (std::vector<Effect*> { feedbackLayer, colorFillEffect, spinningSolidsEffect, vertexRingEffect,
            cubeRingEffect, latticeStripsEffect, flashingLatticeEffect }));
}

TEST_F(Instances, TimelinePlaysTheFiveScenesInTurnAndEndsAtOrder14)
{
    ASSERT_EQ(timelineCount, 5);
    const Effect* scenes[] = { spinningSolidsEffect, vertexRingEffect, cubeRingEffect, latticeStripsEffect,
        flashingLatticeEffect };
    const int orders[] = { 0, 5, 7, 9, 11 };
    for (int i = 0; i < timelineCount; ++i) {
        EXPECT_EQ(timeline[i].scene, scenes[i]) << "entry " << i;
        EXPECT_EQ(timeline[i].order, orders[i]) << "entry " << i;
    }
    EXPECT_EQ(timeline[timelineCount].scene, nullptr);
    EXPECT_EQ(timeline[timelineCount].order, 14);
    for (int i = 0; i < static_cast<int>(timeline.size()); ++i)
        EXPECT_EQ(timeline[i].index, i);
}
