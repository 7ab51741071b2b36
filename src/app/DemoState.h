// The demo's process-wide state put back as it is at program start, so that a second
// run of the demo in one process (a second capture, the next test) inherits nothing
// from the one before.
#pragma once

// Every state file's reset: the shell, the main loop, the music player (its backend
// unset), the scene classes, the feedback layer's shared texture and colour, the window
// (the standard frame and no surface: an attached one is let go with its context), the
// registry's instances made anew, and the timeline filled again from them. Draws
// nothing; GL objects the instances held are not released (releaseDemo does that).
void resetDemoState();
