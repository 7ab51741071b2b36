// The instances of the scenes and the feedback layer as one table: the order in which
// they are created, loaded, released and deleted, and so their number, come from its
// rows alone. Their pointers are the registry (render/SceneRegistry.h).
#pragma once

#include <vector>

class Effect;

struct InstanceRow {
    void (*create)();      // allocates the instance; a failed allocation leaves it null
    Effect* (*instance)(); // the instance, or null
    void (*destroy)();     // deletes the instance and nulls its pointer
    // The loading bar once the instance has loaded, in percent. Instances load in the
    // order of these marks: the feedback layer first, since every scene draws through it.
    float loadedPercent;
};

// In the order the instances are created, released and deleted.
extern const std::vector<InstanceRow> instances;

// The rows in load order.
std::vector<const InstanceRow*> instancesInLoadOrder();

// Every instance deleted (without its release: call releaseDemo first where they hold GL
// objects) and created anew, as at program start.
void recreateInstances();
