// PulseAudio runs from a configuration of its own (no autospawn, no cookie, a null
// sink); PipeWire runs inside dbus-run-session, with wireplumber to link streams and
// pipewire-pulse to make the null sink with pactl.
#include "support/SoundServer.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testsupport {

namespace {

// Runs a shell command in a new process group; its pid (= the group's id) or -1.
pid_t spawnGroup(const std::string& command)
{
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const char* argv[] = { "/bin/sh", "-c", command.c_str(), nullptr };
    pid_t pid = -1;
    const int result = posix_spawn(&pid, "/bin/sh", nullptr, &attributes, const_cast<char**>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    return result == 0 ? pid : -1;
}

// The end of a log file, for a failure's message.
std::string tail(const std::string& path)
{
    std::ifstream file(path);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return text.size() > 3000 ? text.substr(text.size() - 3000) : text;
}

bool installed(const char* program)
{
    const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

} // namespace

std::unique_ptr<SoundServer> SoundServer::start(Kind kind, std::string& why)
{
    const char* needed = kind == Kind::pulseAudio ? "pulseaudio" : "pipewire-pulse";
    if (!installed(needed) || !installed("pactl")) {
        why = std::string(needed) + " is not installed";
        return nullptr;
    }
    std::unique_ptr<SoundServer> server(new SoundServer);
    char folder[] = "/tmp/vorimel-sound-XXXXXX";
    if (!mkdtemp(folder)) {
        why = "no temporary folder";
        return nullptr;
    }
    server->folder = folder;
    const std::string log = server->folder + "/server.log";
    std::string socket;
    if (kind == Kind::pulseAudio) {
        socket = server->folder + "/native";
        std::ofstream(server->folder + "/server.pa")
            << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socket << "\n"
            << "load-module module-null-sink sink_name=null rate=44100\n"
            << "set-default-sink null\n";
        ::setenv("PULSE_RUNTIME_PATH", (server->folder + "/runtime").c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
        server->group = spawnGroup("exec pulseaudio --daemonize=no --exit-idle-time=-1 -n -F "
            + server->folder + "/server.pa --log-target=stderr >" + log + " 2>&1");
    } else {
        ::unsetenv("PULSE_SERVER");
        ::unsetenv("PULSE_RUNTIME_PATH"); // pipewire-pulse would put its socket there
        ::setenv("XDG_RUNTIME_DIR", server->folder.c_str(), 1);
        // Without logind (a chroot, a container) wireplumber's bluetooth monitor fails
        // to start, and wireplumber with it: no bluetooth here.
        const std::string config = server->folder + "/config";
        std::filesystem::create_directories(config + "/wireplumber/bluetooth.lua.d");
        std::ofstream(config + "/wireplumber/bluetooth.lua.d/51-no-bluetooth.lua")
            << "bluez_monitor.enabled = false\n";
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        socket = server->folder + "/pulse/native";
        server->group = spawnGroup("exec dbus-run-session -- sh -c 'pipewire & sleep 0.3; wireplumber & "
                                   "pipewire-pulse & wait' >"
            + log + " 2>&1");
    }
    if (server->group < 0 || !server->waitFor(socket, 10.0)) {
        why = std::string(needed) + " did not come up; its log:\n" + tail(log);
        return nullptr;
    }
    if (kind == Kind::pipeWire) {
        // pipewire-pulse answers before the graph can make nodes ("Not supported"),
        // and the default sink needs the session manager, which may come up later
        // still on a busy machine: each asked again until it works, for 5 s
        bool made = false;
        bool isDefault = false;
        for (int attempt = 0; attempt < 50 && !isDefault; ++attempt) {
            if (attempt > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!made)
                made = std::system(
                           "pactl load-module module-null-sink sink_name=null rate=44100 >/dev/null 2>&1")
                    == 0;
            isDefault = made && std::system("pactl set-default-sink null >/dev/null 2>&1") == 0;
        }
        if (!isDefault) {
            why = std::string("pipewire-pulse made no default null sink (")
                + (made ? "set-default-sink" : "load-module") + " failed for 5 s); its log:\n" + tail(log);
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    return server;
}

SoundServer::~SoundServer()
{
    if (group > 0) {
        ::kill(-group, SIGTERM);
        for (int i = 0; i < 50 && waitpid(group, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::kill(-group, SIGKILL);
        waitpid(group, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void SoundServer::kill()
{
    ::kill(-group, SIGKILL);
}

bool SoundServer::waitFor(const std::string& path, double seconds) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        struct stat info { };
        if (::stat(path.c_str(), &info) == 0)
            return true;
        if (waitpid(group, nullptr, WNOHANG) == group)
            return false; // it ended
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace testsupport
