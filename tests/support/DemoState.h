// Puts every piece of the demo's process-wide state back as it is at program start, so
// that no test inherits what the test before it left.
#pragma once

namespace testsupport {

// The instances (window, registry) stay. Everything the shell, the frame driver, the
// music player and the scene classes keep is reset, the music player's backend unset
// included, and the timeline is filled again from the registry. Every fixture calls it
// first (GLTest::SetUp does).
void resetDemoState();

} // namespace testsupport
