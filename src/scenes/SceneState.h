// What the scene classes keep for the whole run, one value per class and not per
// instance: enter and leave keep them; only resetSceneState (a new run of the demo in
// the same process) puts them back.
#pragma once

// Opacity of the opening scene's lower-half picture: 1 on a beat row, decaying per frame
// between.
extern float spinningSolidsFlash;
// The ring scene's flash: 4 on a beat row, decaying per frame between. Pushes the ring
// back by 0.6 flash and is the picture's opacity (clamped by GL, so it stays opaque
// while above 1).
extern float vertexRingFlash;
// Opacity of the closing scene's overlay: 1 on a beat row, decaying per frame between.
extern float flashingLatticeFlash;
// Scene time of the strip pictures' last random update; -1 until the first draw sets
// it. Shared by every strip picture.
extern float stripUpdateTime;

// Every value as at program start.
void resetSceneState();
