// PulseAudio runs from a configuration of its own (no autospawn, no cookie, a null
// sink); PipeWire runs inside dbus-run-session, with wireplumber to link streams and
// pipewire-pulse to make the null sink with pactl. Either runs under `timeout` as the
// leader of its process group, so that its whole group ends when the time is up.
#include "support/SoundServer.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

std::unique_ptr<SoundServer> SoundServer::start(Kind kind, const std::string& folder, std::string& why)
{
    const char* needed = kind == Kind::pulseAudio ? "pulseaudio" : "pipewire-pulse";
    if (!installed(needed) || !installed("pactl") || !installed("timeout")) {
        why = std::string(needed) + ", pactl or timeout is not installed";
        return nullptr;
    }
    const std::string runtime = folder + "/runtime";
    const std::string socket = kind == Kind::pulseAudio ? folder + "/native" : runtime + "/pulse/native";
    if (socket.size() >= sizeof(sockaddr_un::sun_path)) {
        why = "the socket's path " + socket + " is too long for a socket; set TMPDIR to a shorter folder";
        return nullptr;
    }
    std::error_code error;
    std::filesystem::create_directories(runtime, error);
    ::chmod(runtime.c_str(), 0700);
    std::ofstream(folder + "/client.conf") << "autospawn = no\n";

    std::unique_ptr<SoundServer> server(new SoundServer);
    // On Linux a thread's own: the server, spawned from here, and the backend's threads,
    // started from here too, inherit it. Refused unless root; then all runs as it was.
    server->niceness = ::getpriority(PRIO_PROCESS, 0);
    ::setpriority(PRIO_PROCESS, 0, server->niceness - 10);
    // the server and this process's clients keep nothing outside the folder
    server->setEnvironment("HOME", folder);
    server->setEnvironment("XDG_RUNTIME_DIR", runtime);
    server->setEnvironment("XDG_CONFIG_HOME", folder + "/config");
    server->setEnvironment("XDG_STATE_HOME", folder + "/state");
    server->setEnvironment("XDG_DATA_HOME", folder + "/data");
    server->setEnvironment("XDG_CACHE_HOME", folder + "/cache");
    server->setEnvironment("PULSE_CLIENTCONFIG", folder + "/client.conf");
    server->setEnvironment("PULSE_SERVER", "unix:" + socket);
    server->setEnvironment("PIPEWIRE_RUNTIME_DIR", runtime);
    const std::string lifetime = "timeout --kill-after=5 " + std::to_string(lifetimeSeconds) + " ";
    const std::string log = folder + "/server.log";
    if (kind == Kind::pulseAudio) {
        server->setEnvironment("PULSE_RUNTIME_PATH", runtime);
        server->setEnvironment("PULSE_STATE_PATH", folder + "/state");
        std::ofstream(folder + "/server.pa")
            << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socket << "\n"
            << "load-module module-null-sink sink_name=null rate=44100\n"
            << "set-default-sink null\n";
        server->group = spawnGroup("exec " + lifetime + "pulseaudio --daemonize=no --exit-idle-time=-1 "
            + "--use-pid-file=no -n -F " + folder + "/server.pa --log-target=stderr >" + log + " 2>&1");
    } else {
        // Without logind (a chroot, a container) wireplumber's bluetooth monitor fails
        // to start, and wireplumber with it: no bluetooth here.
        const std::string bluetooth = folder + "/config/wireplumber/bluetooth.lua.d";
        std::filesystem::create_directories(bluetooth, error);
        std::ofstream(bluetooth + "/51-no-bluetooth.lua") << "bluez_monitor.enabled = false\n";
        // the session bus's socket in the folder too: the usual session bus leaves one
        // in /tmp when it is stopped by a signal
        std::ofstream(folder + "/bus.conf")
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            << " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            << "<busconfig>\n"
            << "  <type>session</type>\n"
            << "  <keep_umask/>\n"
            << "  <listen>unix:path=" << folder << "/bus</listen>\n"
            << "  <auth>EXTERNAL</auth>\n"
            << "  <standard_session_servicedirs/>\n"
            << "  <policy context=\"default\">\n"
            << "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
            << "    <allow eavesdrop=\"true\"/>\n"
            << "    <allow own=\"*\"/>\n"
            << "  </policy>\n"
            << "</busconfig>\n";
        server->group = spawnGroup("exec " + lifetime + "dbus-run-session --config-file=" + folder
            + "/bus.conf -- sh -c 'pipewire & sleep 0.3; wireplumber & pipewire-pulse & wait' >" + log
            + " 2>&1");
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
    stop();
    ::setpriority(PRIO_PROCESS, 0, niceness);
    for (auto saved = savedEnvironment.rbegin(); saved != savedEnvironment.rend(); ++saved) {
        if (saved->second)
            ::setenv(saved->first.c_str(), saved->second->c_str(), 1);
        else
            ::unsetenv(saved->first.c_str());
    }
}

void SoundServer::stop()
{
    if (group <= 0)
        return;
    ::kill(-group, SIGTERM);
    for (int i = 0; i < 50 && waitpid(group, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(-group, SIGKILL);
    waitpid(group, nullptr, 0);
    group = -1;
}

void SoundServer::kill()
{
    ::kill(-group, SIGKILL);
}

void SoundServer::setEnvironment(const char* name, const std::string& value)
{
    const char* old = std::getenv(name);
    savedEnvironment.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name, value.c_str(), 1);
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
