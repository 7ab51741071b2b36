// One thread does everything: events, loading, frames, the Escape and Space keys.
#include "app/MainLoop.h"

#include "app/FrameLatency.h"
#include "app/Loader.h"
#include "app/ShellState.h"
#include "music/FrameDriver.h"
#include "music/MusicPlayer.h"
#include "platform/Clock.h"
#include "platform/GLSurface.h"
#include "render/FrameResizer.h"
#include "render/GLWindow.h"

namespace {

FrameLatency frameLatency;

// What one iteration did.
enum class Pass { quit, event, loading, frame };

Pass runPass();

} // namespace

void windowProc(const platform::WindowEvent& event)
{
    using Type = platform::WindowEvent::Type;
    switch (event.type) {
    case Type::keyDown:
        keys[event.key & 0xFF] = 1;
        if (keyPresses[event.key & 0xFF] < 255)
            ++keyPresses[event.key & 0xFF];
        break;
    case Type::keyUp:
        keys[event.key & 0xFF] = 0;
        break;
    case Type::minimised:
        active = 0;
        break;
    case Type::activated:
        active = 1;
        break;
    case Type::resized:
        windowResized();
        break;
    case Type::quit:
        break;
    }
}

bool mainLoopPass()
{
    return runPass() != Pass::quit;
}

bool mainLoopFrame()
{
    for (;;) {
        const Pass pass = runPass();
        if (pass == Pass::quit)
            return false;
        if (pass == Pass::frame)
            return true;
    }
}

void runMainLoop()
{
    while (mainLoopPass()) { }
}

void resetMainLoop()
{
    frameLatency = FrameLatency {};
}

namespace {

Pass runPass()
{
    platform::GLSurface* surface = glWindow->surface();

    // every pending event is handled before anything is drawn
    platform::WindowEvent event {};
    if (surface && surface->pollEvent(event)) {
        if (event.type == platform::WindowEvent::Type::quit)
            return Pass::quit;
        windowProc(event);
        return Pass::event;
    }

    if (!loaded) {
        loadResult = loadDemo();
        return Pass::loading;
    }

    // Minimised: no drawing and no timeline advance, but the keys still act.
    const double readAt = platform::monotonicSeconds(); // drawFrame reads the music first
    if (active && drawFrame() < 0)
        return Pass::quit;
    if (keys[escapeKey] || keyPresses[escapeKey])
        return Pass::quit; // the frame just drawn is not presented
    // one order per press and per frame: quick presses are taken on the next frames
    if (keys[spaceKey] || keyPresses[spaceKey]) {
        musicPlayer.setPosition(musicPlayer.order() + 1, 0);
        keys[spaceKey] = 0;
        if (keyPresses[spaceKey] > 0)
            --keyPresses[spaceKey];
    }
    if (surface) {
        surface->present();
        if (active) {
            // the next frame's music is read for the moment that frame will be seen
            frameLatency.frameShown(readAt, platform::monotonicSeconds(), surface->displayDelay());
            musicPlayer.setLeadTime(frameLatency.seconds());
        }
    }
    return Pass::frame;
}

} // namespace
