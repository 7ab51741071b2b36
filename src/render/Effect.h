// The interface through which the loader, the frame driver and the shutdown drive every
// scene (and the feedback layer) without knowing its class.
#pragma once

#include <cstdint>

class Effect {
public:
    Effect() = default;
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;
    virtual ~Effect() = default;

    // seconds: scene time, seconds since the scene was entered.
    virtual void draw(float seconds) = 0;
    virtual void load() = 0;
    virtual void enter() = 0;
    virtual void release() = 0;
    virtual void leave() { }
    virtual void spare1() { }
    virtual void spare2() { }

    // Written by the frame driver before each draw; scenes ask the music player instead.
    void setMusicPosition(int order, int row);

    int32_t order = 0;
    int32_t row = 0;
};
