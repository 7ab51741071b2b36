// ffmpeg runs as a child process: its stdin is our pipe, its stderr is ours, so its
// own messages reach the user. Two passes keep the output deterministic without a
// second pipe: the audio is known completely only when the last frame is written.
// ffmpeg runs in a process group of its own, so that a terminal's Ctrl-C reaches only
// the capture, which then ends ffmpeg itself and removes what it wrote.
#include "VideoEncoder.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int pipeBytes = 1 << 20; // the most an unprivileged process may ask for by default

// Spawns ffmpeg with the given arguments; stdinFd, when not -1, becomes its stdin.
pid_t spawn(
    const std::string& ffmpeg, const std::vector<std::string>& arguments, int stdinFd, std::string& error)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(ffmpeg.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0); // a group of its own
    pid_t pid = -1;
    const int result = posix_spawn(&pid, ffmpeg.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        error = "cannot run " + ffmpeg + ": " + std::strerror(result);
        return -1;
    }
    return pid;
}

// Waits for ffmpeg to end. Polled, so that a stop request is seen whichever thread the
// signal reached; ffmpeg is then killed: what it was writing is removed anyway.
bool waitFor(pid_t pid, const char* what, VideoEncoder::StopCheck stopRequested, std::string& error)
{
    constexpr auto poll = std::chrono::milliseconds(10);
    int status = 0;
    bool stopped = false;
    for (;;) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            break;
        if (ended < 0 && errno != EINTR) {
            error = std::string("lost the ffmpeg process (") + what + ")";
            return false;
        }
        if (!stopped && stopRequested && stopRequested()) {
            kill(pid, SIGKILL);
            stopped = true;
        }
        std::this_thread::sleep_for(poll);
    }
    if (stopped) {
        error = std::string("stopped ffmpeg while ") + what;
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    std::ostringstream text;
    text << "ffmpeg failed while " << what;
    if (WIFEXITED(status))
        text << " (exit status " << WEXITSTATUS(status) << ")";
    else if (WIFSIGNALED(status))
        text << " (signal " << WTERMSIG(status) << ")";
    error = text.str();
    return false;
}

} // namespace

VideoEncoder::VideoEncoder(StopCheck stopRequested)
    : stopRequested_(stopRequested)
{
}

VideoEncoder::~VideoEncoder()
{
    // an unfinished video: let ffmpeg end, and leave no half-made file behind
    std::string ignored;
    closeStream(ignored);
    if (!videoOnlyPath_.empty())
        std::remove(videoOnlyPath_.c_str());
    if (!partPath_.empty())
        std::remove(partPath_.c_str());
}

void VideoEncoder::cancel()
{
    if (process_ > 0)
        kill(process_, SIGKILL); // at once and silently: its output is removed anyway
}

std::string VideoEncoder::findFfmpeg()
{
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/ffmpeg";
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

bool VideoEncoder::start(const std::string& ffmpeg, const std::string& outputPath, int width, int height,
    int fps, std::string& error)
{
    ffmpeg_ = ffmpeg;
    outputPath_ = outputPath;
    videoOnlyPath_ = outputPath + ".video.mp4";
    partPath_ = outputPath + ".part";
    width_ = width;
    height_ = height;
    flipped_.resize(static_cast<size_t>(width) * height * 3);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
        return false;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    // clang-format off
    const std::vector<std::string> arguments = {
        "-hide_banner", "-loglevel", "error", "-xerror", "-y",
        "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size, "-framerate", std::to_string(fps),
        "-i", "pipe:0", "-an",
        "-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p",
        videoOnlyPath_,
    };
    // clang-format on
    // a larger pipe wakes the writer and ffmpeg fewer times a frame; the default
    // 64 KB still works where the system allows no more
    fcntl(fds[1], F_SETPIPE_SZ, pipeBytes);
    process_ = spawn(ffmpeg_, arguments, fds[0], error);
    close(fds[0]);
    if (process_ < 0) {
        close(fds[1]);
        return false;
    }
    pipe_ = fds[1];
    return true;
}

bool VideoEncoder::writeFrame(const std::vector<uint8_t>& bottomUpRgb, std::string& error)
{
    if (pipe_ < 0) {
        error = "the ffmpeg pipe is closed";
        return false;
    }
    flipRows(bottomUpRgb.data(), width_, height_, flipped_.data());
    const uint8_t* data = flipped_.data();
    size_t left = flipped_.size();
    while (left > 0) {
        const ssize_t written = write(pipe_, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errno == EPIPE ? "ffmpeg stopped reading frames"
                                   : std::string("cannot write to ffmpeg: ") + std::strerror(errno);
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool VideoEncoder::closeStream(std::string& error)
{
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    if (process_ < 0)
        return false;
    const bool encoded = waitFor(process_, "encoding the frames", stopRequested_, error);
    process_ = -1;
    return encoded;
}

bool VideoEncoder::finish(const std::string& wavPath, std::string& error)
{
    if (!closeStream(error))
        return false;
    // clang-format off
    const std::vector<std::string> arguments = {
        "-hide_banner", "-loglevel", "error", "-xerror", "-y",
        "-i", videoOnlyPath_, "-i", wavPath,
        "-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy", "-c:a", "aac", "-b:a", "192k",
        "-movflags", "+faststart", "-f", "mp4", partPath_,
    };
    // clang-format on
    const pid_t muxer = spawn(ffmpeg_, arguments, -1, error);
    bool muxed = muxer >= 0 && waitFor(muxer, "adding the sound", stopRequested_, error);
    std::remove(videoOnlyPath_.c_str());
    if (muxed && std::rename(partPath_.c_str(), outputPath_.c_str()) != 0) {
        error = "cannot name the video " + outputPath_ + ": " + std::strerror(errno);
        muxed = false;
    }
    if (!muxed)
        std::remove(partPath_.c_str());
    return muxed;
}

void VideoEncoder::flipRows(const uint8_t* bottomUpRgb, int width, int height, uint8_t* out)
{
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(
            out + static_cast<size_t>(y) * row, bottomUpRgb + static_cast<size_t>(height - 1 - y) * row, row);
}
