// A real sound server started for a test, with a null sink as the default output. All
// it keeps (home, runtime, configuration, state and data folders) lies in a folder the
// test gives it; it is stopped by its process group, and should the test be killed
// outright, `timeout` ends it after lifetimeSeconds. While it lives, this process's own
// clients use it and the same folders; the environment is restored afterwards. The
// server, and the threads the calling thread starts meanwhile (a backend's), run at
// nice -10 where that is allowed (root), as a desktop runs its sound server at real-time
// priority: on a machine busy with other work, the server's clock and the test's
// stream then keep time.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace testsupport {

class SoundServer {
public:
    enum class Kind {
        pulseAudio, // PulseAudio itself
        pipeWire,   // PipeWire with its session manager and its pulse server
    };
    static constexpr int lifetimeSeconds = 120;

    // Null when it cannot start (not installed, or it did not come up); why says so.
    // The folder must exist and should be empty.
    static std::unique_ptr<SoundServer> start(Kind kind, const std::string& folder, std::string& why);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Kills the server outright, as a crash would.
    void kill();

private:
    SoundServer() = default;
    void setEnvironment(const char* name, const std::string& value);
    bool waitFor(const std::string& path, double seconds) const;
    void stop();

    pid_t group = -1; // the server runs in a process group of its own
    int niceness = 0; // the calling thread's before start
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment;
};

} // namespace testsupport
