// The process-wide instances, created by static initialisation in one place so that
// their order is fixed: the window, the registry, and last the timeline, which copies
// the registry's pointers. Whatever uses the registry (the loader, the shutdown, the
// demo's reset) links this file, and with it the creation, whichever executable it is.
#include "app/Registry.h"
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

template <class Instance, auto& pointer> RegistryEntry entry(float loadedPercent)
{
    return { [] { pointer = new (std::nothrow) Instance; }, []() -> Effect* { return pointer; },
        [] {
            delete pointer;
            pointer = nullptr;
        },
        loadedPercent };
}

} // namespace

const std::vector<RegistryEntry> registry = {
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

std::vector<const RegistryEntry*> registryInLoadOrder()
{
    std::vector<const RegistryEntry*> order;
    for (const RegistryEntry& row : registry)
        order.push_back(&row);
    std::stable_sort(order.begin(), order.end(),
        [](const RegistryEntry* a, const RegistryEntry* b) { return a->loadedPercent < b->loadedPercent; });
    return order;
}

void recreateRegistry()
{
    for (const RegistryEntry& row : registry) {
        row.destroy();
        row.create();
    }
}

namespace {

[[maybe_unused]] const bool created = [] {
    glWindow = new GLWindow(baseFrameWidth, baseFrameHeight);
    for (const RegistryEntry& row : registry)
        row.create();
    timeline = fillTimeline();
    return true;
}();

} // namespace
