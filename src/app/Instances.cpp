// The process-wide instances, created by static initialisation in one place so that
// their order is fixed: the window, the registry, and last the timeline, which copies
// the registry's pointers. Whatever uses the instances (the loader, the shutdown, the
// demo's reset) links this file, and with it the creation, whichever executable it is.
#include "app/Instances.h"
#include "music/TimelineState.h"
#include "render/FeedbackLayer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "scenes/CubeRingEffect.h"
#include "scenes/FlashingLatticeEffect.h"
#include "scenes/LatticeStripsEffect.h"
#include "scenes/SpinningSolidsEffect.h"
#include "scenes/VertexRingEffect.h"

#include <algorithm>
#include <new>

namespace {

template <class Instance, auto& pointer> InstanceRow entry(float loadedPercent)
{
    return { [] { pointer = new (std::nothrow) Instance; }, []() -> Effect* { return pointer; },
        [] {
            delete pointer;
            pointer = nullptr;
        },
        loadedPercent };
}

} // namespace

const std::vector<InstanceRow> instances = {
    // clang-format off
    entry<ColorFillEffect,       colorFillEffect>(50.0f),
    entry<FeedbackLayer,         feedbackLayer>(49.0f),
    entry<SpinningSolidsEffect,  spinningSolidsEffect>(52.0f),
    entry<VertexRingEffect,      vertexRingEffect>(56.0f),
    entry<CubeRingEffect,        cubeRingEffect>(58.0f),
    entry<LatticeStripsEffect,   latticeStripsEffect>(60.0f),
    entry<FlashingLatticeEffect, flashingLatticeEffect>(64.0f),
    // clang-format on
};

std::vector<const InstanceRow*> instancesInLoadOrder()
{
    std::vector<const InstanceRow*> order;
    for (const InstanceRow& row : instances)
        order.push_back(&row);
    std::stable_sort(order.begin(), order.end(),
        [](const InstanceRow* a, const InstanceRow* b) { return a->loadedPercent < b->loadedPercent; });
    return order;
}

void recreateInstances()
{
    for (const InstanceRow& row : instances) {
        row.destroy();
        row.create();
    }
}

namespace {

[[maybe_unused]] const bool created = [] {
    glWindow = new GLWindow(baseFrameWidth, baseFrameHeight);
    for (const InstanceRow& row : instances)
        row.create();
    timeline = fillTimeline();
    return true;
}();

} // namespace
