// The frame driver: each frame it reads the music, switches scenes at the timeline's
// orders, draws the current scene and lays the frame overlay.
#pragma once

// Seconds since the start of loading, as the loader and the frame driver form it.
float secondsSinceStart();

// Draws one frame: 1 when drawn, -1 when there is nothing more to draw.
int drawFrame();
