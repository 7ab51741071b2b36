// The screen-aligned picture quad that the loader, the frame driver and the scenes draw.
#pragma once

// One quad facing the viewer (normal (0, 0, 1)) from corner (x0, y0) to (x1, y1) at
// depth z, with the whole texture on it: texture (0, 0) at the first corner, (1, 1) at
// the opposite one. Corners go (x0, y0), (x1, y0), (x1, y1), (x0, y1).
void drawTexturedQuad(float x0, float y0, float x1, float y1, float z);
