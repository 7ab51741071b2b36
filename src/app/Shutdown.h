// The orderly shutdown: audio off, every scene released, then deleted.
#pragma once

// Stops the music, releases and deletes every registry instance (null ones skipped).
void releaseDemo();
// releaseDemo, then ends the process through exit() so exit handlers run.
[[noreturn]] void shutdownDemo(int exitCode);
