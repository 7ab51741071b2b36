// A real sound server started for a test, in a folder of its own, with a null sink as
// the default output; stopped by its process id. Points this process's clients at it.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>

namespace testsupport {

class SoundServer {
public:
    enum class Kind {
        pulseAudio, // PulseAudio itself
        pipeWire,   // PipeWire with its session manager and its pulse server
    };

    // Null when it cannot start (not installed, or it did not come up); why says so.
    static std::unique_ptr<SoundServer> start(Kind kind, std::string& why);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Kills the server outright, as a crash would.
    void kill();

private:
    SoundServer() = default;
    bool waitFor(const std::string& path, double seconds) const;

    pid_t group = -1; // the server runs in a process group of its own
    std::string folder;
};

} // namespace testsupport
