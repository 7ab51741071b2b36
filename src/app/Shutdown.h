// The orderly shutdown: audio off, every scene released, then deleted; and the end of
// the programs, with their exit statuses.
#pragma once

#include <string>

constexpr int exitNoDisplay = 1;
constexpr int exitBadArguments = 1;
constexpr int exitNoAudio = 2;
constexpr int exitNoMusic = 3;

// Stops the music, releases and deletes every instance of the table (null ones skipped).
void releaseDemo();
// releaseDemo, then ends the process through exit() so exit handlers run.
[[noreturn]] void shutdownDemo(int exitCode);
// After the main loop: says why the demo could not start, if it could not (no audio
// device: `audioError` and then `hint`; or music it could not play), closes the window
// and shuts down with 0, exitNoAudio or exitNoMusic.
[[noreturn]] void endDemo(const std::string& audioError, const std::string& hint);
