// The switch table: which scene begins at which music order.
#include "music/Timeline.h"

#include "render/SceneRegistry.h"

#include <iterator>

namespace {

// The scenes in the order they play, each with the music order at which it begins.
constexpr struct {
    Effect* const* scene; // the registry pointer, read when the timeline is filled
    int32_t order;
} cuts[] = {
    // clang-format off
    {&spinningSolidsEffect,  0},
    {&vertexRingEffect,      5},
    {&cubeRingEffect,        7},
    {&latticeStripsEffect,   9},
    {&flashingLatticeEffect, 11},
    // clang-format on
};
constexpr int32_t endOrder = 14; // the music order at which the demo ends

} // namespace

Timeline fillTimeline()
{
    Timeline filled {};
    int32_t i = 0;
    for (const auto& cut : cuts) {
        filled[i] = { *cut.scene, cut.order, i };
        ++i;
    }
    filled[i] = { nullptr, endOrder, i };
    for (++i; i < static_cast<int32_t>(filled.size()); ++i)
        filled[i].index = i;
    return filled;
}

int32_t timelineSceneCount()
{
    return static_cast<int32_t>(std::size(cuts));
}
