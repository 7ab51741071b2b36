// How long after the frame driver reads the music its frame is seen: a running mean of
// the time from the read to the end of present, plus the display's own delay. The
// music is then read for that moment, so a beat shows when it is heard.
#pragma once

class FrameLatency {
public:
    // One presented frame: when its music was read, when present returned (seconds,
    // one clock) and the surface's delay from there to the screen.
    void frameShown(double readAt, double presentedAt, double displayDelay);
    double seconds() const { return drawToPresent + display; }

    // A frame slower than this (a hiccup, the first frame after loading) counts as this.
    static constexpr double longestFrame = 0.1;

private:
    double drawToPresent = 0.0;
    double display = 0.0;
    bool measured = false;
};
