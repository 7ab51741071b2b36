// The timeline: at which music order each scene begins.
#pragma once

#include <array>
#include <cstdint>

class Effect;

struct TimelineEntry {
    Effect* scene = nullptr; // null marks the end
    int32_t order = 0;       // music order at which this entry begins
    int32_t index = 0;       // the entry's own position; informational
};

using Timeline = std::array<TimelineEntry, 13>;

// Built from the registry pointers, so it must run after they are created.
Timeline fillTimeline();
// The scene entries that fillTimeline writes, the end entry not counted.
int32_t timelineSceneCount();
