// A GL context with the demo's offscreen frame (made at the size its creator asks for,
// then resized), made current on creation: an SDL window that shows the frame, or a
// headless EGL context that only keeps it.
#pragma once

#include <cstdint>

namespace platform {

// A window message translated into what the window procedure acts on.
struct WindowEvent {
    enum class Type {
        quit,    // the window was closed
        keyDown, // also sent again by key auto-repeat
        keyUp,
        minimised, // activation change while minimised
        activated, // any other activation change, focus loss included
        resized,
    };
    Type type;
    int key = 0; // virtual-key code: Escape 27, Space 32, letters upper-case ASCII
    int width = 0;
    int height = 0;
};

class GLSurface {
public:
    virtual ~GLSurface() = default;
    // Takes one pending event; false when none is waiting.
    virtual bool pollEvent(WindowEvent& event) = 0;
    // Shows the offscreen frame (the buffer swap of the demo).
    virtual void present() = 0;
    // Seconds from present's return until the frame is on the screen: the wait for
    // the display's next refresh where presenting is tied to it, else 0.
    virtual double displayDelay() const { return 0.0; }
    // Gives the desktop its own mode back; only a fullscreen window has anything to do.
    virtual void leaveFullscreen() { }
    // Releases the context; false when it could not be made non-current.
    virtual bool releaseContext() { return true; }
    // Makes the offscreen frame anew at width x height, cleared, bound, with the viewport
    // covering it; false when that size could not be made (the surface then has no frame)
    // or the surface keeps no frame of its own.
    virtual bool resizeFrame(int, int) { return false; }
    // The size in pixels of the area the frame is shown in (a window's drawable area);
    // false for a surface that shows nothing.
    virtual bool shownSize(int&, int&) const { return false; }
};

} // namespace platform
