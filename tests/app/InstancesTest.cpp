// The table of instances against the registry it fills.
#include "app/Instances.h"
#include "render/FeedbackLayer.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "support/GLTestContext.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

class Instances : public testsupport::GLTest { };

TEST_F(Instances, EachRowFillsItsOwnRegistryPointerAndTheFeedbackLayerLoadsFirst)
{
    const std::set<Effect*> pointers = { colorFillEffect, feedbackLayer, spinningSolidsEffect,
        vertexRingEffect, cubeRingEffect, latticeStripsEffect, flashingLatticeEffect };
    std::set<Effect*> rows;
    for (const InstanceRow& row : instances) {
        EXPECT_NE(row.instance(), nullptr);
        rows.insert(row.instance());
    }
    EXPECT_EQ(rows.size(), instances.size()) << "two rows share an instance";
    EXPECT_EQ(rows, pointers);

    // every scene draws through the feedback layer, and the bar grows with every load
    const std::vector<const InstanceRow*> loadOrder = instancesInLoadOrder();
    ASSERT_EQ(loadOrder.size(), instances.size());
    EXPECT_EQ(loadOrder.front()->instance(), feedbackLayer);
    for (size_t i = 1; i < loadOrder.size(); ++i)
        EXPECT_GT(loadOrder[i]->loadedPercent, loadOrder[i - 1]->loadedPercent);
}
