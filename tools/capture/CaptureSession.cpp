// The capture loop. The program's own mainLoopPass runs unchanged: the loader's sleeps
// only move the virtual clock, and each present of the running demo writes one frame,
// takes exactly that frame's samples from the music and moves the clock to the next
// frame's instant. Frame n of the demo thus sees tick start + floor(n * 1000 / fps)
// and the music at sample floor(n * 44100 / fps).
#include "CaptureSession.h"

#include "CaptureSurface.h"
#include "LoadingSchedule.h"
#include "PngWriter.h"
#include "StopSignals.h"
#include "app/DemoState.h"
#include "app/Loader.h"
#include "app/MainLoop.h"
#include "app/ShellState.h"
#include "app/Shutdown.h"
#include "music/MusicPlayer.h"
#include "music/TimelineState.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "render/FeedbackLayer.h"
#include "render/FrameResizer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

namespace {

constexpr int sampleRate = 44100; // the rate at which the music player opens its device
constexpr size_t queueDepth = 8;  // frames between the GL thread and the writer
constexpr int pngCompression = 1; // zlib level, with the fast row coding: speed over size
constexpr bool fastRows = true;   // three times faster than libpng's choice of filter per row

constexpr int exitFailed = 2;
constexpr int exitNoFfmpeg = 3;

bool stopRequested()
{
    return StopSignals::received() != 0;
}

std::string cannotWrite(const std::string& path, int errorNumber)
{
    return "cannot write " + path + (errorNumber != 0 ? std::string(": ") + std::strerror(errorNumber) : "");
}

} // namespace

CaptureSession::CaptureSession(const CaptureOptions& options)
    : options_(options)
    , timing_(options.fps, sampleRate)
    , clock_(timing_)
    , progress_(isatty(STDERR_FILENO) != 0, options.fps)
{
}

CaptureSession::~CaptureSession()
{
    if (surface_)
        surface_->setOnPresent({});
    platform::setClock(nullptr);
    musicPlayer.setBackend(nullptr);
}

int CaptureSession::run()
{
    // a capture before this one in the process left the demo where it ended, and its
    // context, which goes before the new one is made
    resetDemoState();
    int status = 0;
    if (!setUp(status))
        return status;

    while (!stop_ && !stopRequested()) {
        if (!mainLoopPass())
            break; // the frame driver ended the demo: nothing more to capture
        if (loaded && !alphaSet_) {
            if (loadResult < 0 || !audio_.hasModule()) {
                fail("cannot play " + audio_.lastError()); // the error names the file
                break;
            }
            // the loader set vorimel's alpha; the variant's holds from the first frame on
            if (feedbackLayer)
                feedbackLayer->setColor(1.0f, 1.0f, 1.0f, options_.feedbackAlpha());
            progress_.setTotalSeconds(audio_.secondsToOrder(options_.until));
            alphaSet_ = true;
        }
        if (writer_ && writer_->failed())
            break; // the writer's error is reported when it finishes
        progress_.update(musicPlayer.order(), musicPlayer.row(), framesWritten_, demoFrames_);
    }

    finishOutputs();
    const std::string note = musicEndNote();
    const std::string done = summary();
    releaseDemo();
    progress_.endLine();
    if (stopRequested()) {
        std::fprintf(
            stderr, "vorimel-capture: stopped by %s; unfinished files removed\n", StopSignals::name());
        return StopSignals::exitStatus();
    }
    if (!error_.empty()) {
        std::fprintf(stderr, "vorimel-capture: %s\n", error_.c_str());
        return exitFailed;
    }
    if (!note.empty())
        std::fprintf(stderr, "vorimel-capture: %s\n", note.c_str());
    progress_.finish(done);
    return 0;
}

bool CaptureSession::setUp(int& status)
{
    status = exitFailed;
    // only a module that is not there at all; any other fault is the loader's to name
    std::error_code ignored;
    const std::string module = platform::dataFilePath(modulePath);
    if (std::filesystem::status(module, ignored).type() == std::filesystem::file_type::not_found) {
        if (module == modulePath)
            std::fprintf(stderr,
                "vorimel-capture: no %s in the working folder: run it from the folder that holds data/"
                " (the build folder)\n",
                modulePath);
        else
            std::fprintf(stderr,
                "vorimel-capture: no %s in the installed data, and no data/ in the working folder\n",
                module.c_str());
        return false;
    }
    if (!options_.videoPath.empty()) {
        ffmpeg_ = VideoEncoder::findFfmpeg();
        if (ffmpeg_.empty()) {
            std::fprintf(stderr,
                "vorimel-capture: --video needs ffmpeg, and there is no ffmpeg on PATH"
                " (on Debian: apt-get install ffmpeg)\n");
            status = exitNoFfmpeg;
            return false;
        }
    }

    std::string error;
    std::unique_ptr<CaptureContext> context
        = CaptureContext::create(glWindow->width(), glWindow->height(), error);
    if (!context) {
        std::fprintf(stderr, "vorimel-capture: no headless GL context: %s\n", error.c_str());
        return false;
    }
    auto surface = std::make_unique<CaptureSurface>(std::move(context));
    surface->setOnPresent([this] { presented(); });
    surface_ = surface.get();
    glWindow->attachSurface(std::move(surface)); // kept to the end of the process, like the window
    if (!setFrameHeight(options_.height, error)) {
        std::fprintf(
            stderr, "vorimel-capture: cannot draw at --height %d: %s\n", options_.height, error.c_str());
        status = 1;
        return false;
    }
    platform::setClock(&clock_);
    musicPlayer.setBackend(&audio_);

    if (!openOutputs()) {
        std::fprintf(stderr, "vorimel-capture: %s\n", error_.c_str());
        return false;
    }
    return true;
}

bool CaptureSession::openOutputs()
{
    if (!options_.framesDir.empty()) {
        std::error_code code;
        std::filesystem::create_directories(options_.framesDir, code);
        if (code) {
            error_ = "cannot make the folder " + options_.framesDir + ": " + code.message();
            return false;
        }
    }
    if (!options_.videoPath.empty()) {
        video_ = std::make_unique<VideoEncoder>(stopRequested);
        if (!video_->start(ffmpeg_, options_.videoPath, surface_->frameWidth(), surface_->frameHeight(),
                options_.fps, error_))
            return false;
    }
    wavPath_ = options_.audioPath;
    if (wavPath_.empty() && !options_.videoPath.empty()) {
        wavPath_ = options_.videoPath + ".audio.wav"; // muxed into the video, then removed
        wavIsTemporary_ = true;
    }
    if (!wavPath_.empty() && !wav_.open(wavPath_, sampleRate)) {
        error_ = cannotWrite(wavPath_, wav_.errorNumber());
        wavPath_.clear();
        return false;
    }
    if (!options_.framesDir.empty() || video_) {
        writer_ = std::make_unique<FrameWriter>(surface_->frameBytes(), queueDepth,
            [this](uint64_t frame, const std::vector<uint8_t>& pixels, std::string& error) {
                return writeFrameFiles(frame, pixels, error);
            });
    }
    return true;
}

// On the writer's thread.
bool CaptureSession::writeFrameFiles(uint64_t frame, const std::vector<uint8_t>& pixels, std::string& error)
{
    if (!options_.framesDir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "/%06llu.png", static_cast<unsigned long long>(frame));
        // under a temporary name until complete: a full disk leaves no truncated frame
        const std::string path = options_.framesDir + name;
        const std::string partPath = path + ".part";
        const png::Image image { surface_->frameWidth(), surface_->frameHeight(), 3, pixels.data(), 0, true };
        errno = 0;
        const bool written = png::writePng(partPath, image, pngCompression, fastRows)
            && std::rename(partPath.c_str(), path.c_str()) == 0;
        if (!written) {
            error = cannotWrite(path, errno);
            std::remove(partPath.c_str());
            return false;
        }
    }
    return !video_ || video_->writeFrame(pixels, error);
}

bool CaptureSession::finishOutputs()
{
    // Only a capture that ran to its end gives files; what an unfinished one wrote goes.
    const auto complete = [this] { return error_.empty() && !stopRequested(); };
    if (!complete()) {
        // no need to wait for frames nobody will get
        if (writer_)
            writer_->dropFrames();
        if (video_)
            video_->cancel();
    }
    std::string error;
    if (writer_ && !writer_->finish(error))
        fail(error);
    if (!wavPath_.empty()) {
        if (!complete())
            wav_.discard();
        else if (!wav_.finish())
            fail(cannotWrite(wavPath_, wav_.errorNumber()));
    }
    if (video_) {
        if (complete() && !video_->finish(wavPath_, error))
            fail(error);
        video_.reset(); // removes whatever an unfinished video left
    }
    if (wavIsTemporary_)
        std::remove(wavPath_.c_str());
    return error_.empty();
}

void CaptureSession::presented()
{
    if (stop_)
        return;
    if (!loaded) {
        if (options_.loading)
            keepLoadingFrame();
        return;
    }
    if (options_.loading && !loadingWritten_)
        writeLoadingSection();
    if (options_.stopsEarly() && musicPlayer.order() >= options_.until) {
        stop_ = true; // this frame belongs to what comes after the capture
        return;
    }
    writeDemoFrame();
}

void CaptureSession::keepLoadingFrame()
{
    loadingTicks_.push_back(clock_.tick());
    std::vector<uint8_t> pixels;
    if (writer_) {
        pixels.resize(surface_->frameBytes());
        surface_->readPixels(pixels.data());
    }
    loadingFrames_.push_back(std::move(pixels));
}

void CaptureSession::writeLoadingSection()
{
    loadingWritten_ = true;
    const std::vector<size_t> shown = loadingSchedule(loadingTicks_, clock_.tick(), timing_);
    for (uint64_t frame = 0; frame < shown.size(); ++frame) {
        if (writer_)
            queueFrame(loadingFrames_[shown[frame]].data());
        const uint64_t count = timing_.samplesOf(frame);
        samples_.assign(2 * count, 0.0f);
        writeAudio(samples_.data(), count);
        ++framesWritten_;
    }
    loadingFrames_.clear();
    loadingFrames_.shrink_to_fit();
}

void CaptureSession::writeDemoFrame()
{
    if (writer_) {
        std::vector<uint8_t> buffer = writer_->acquire();
        surface_->readPixels(buffer.data());
        writer_->submit(std::move(buffer));
    }
    const uint64_t count = timing_.samplesOf(demoFrames_);
    samples_.resize(2 * count);
    audio_.takeFrames(samples_.data(), count);
    writeAudio(samples_.data(), count);
    clock_.advanceFrame();
    ++demoFrames_;
    ++framesWritten_;
}

void CaptureSession::queueFrame(const uint8_t* pixels)
{
    std::vector<uint8_t> buffer = writer_->acquire();
    std::memcpy(buffer.data(), pixels, buffer.size());
    writer_->submit(std::move(buffer));
}

void CaptureSession::writeAudio(const float* samples, uint64_t frames)
{
    if (!wavPath_.empty() && !wav_.write(samples, frames))
        fail(cannotWrite(wavPath_, wav_.errorNumber()));
}

void CaptureSession::fail(const std::string& message)
{
    if (error_.empty())
        error_ = message;
    stop_ = true;
}

std::string CaptureSession::musicEndNote() const
{
    if (!musicPlayer.ended())
        return {};
    const int order = musicPlayer.order();
    if (order < options_.until)
        return "the music ended at order " + std::to_string(order) + ", before order "
            + std::to_string(options_.until);
    // a skip marker or a jump passed over a switch order
    return "the music ended at order " + std::to_string(order)
        + ", with the timeline still waiting for order "
        + std::to_string(timeline[static_cast<size_t>(timelineIndex) + 1].order);
}

std::string CaptureSession::summary() const
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const double wall = progress_.wallSeconds();
    const double demoSeconds = static_cast<double>(demoFrames_) / options_.fps;
    // where it stopped: the order of the first frame not written, or the music's end
    const std::string upTo
        = musicPlayer.ended() ? "the end of the music" : "order " + std::to_string(musicPlayer.order());
    char line[256];
    std::snprintf(line, sizeof line,
        "vorimel-capture: %llu frames (%llu of the demo, %.2f s up to %s) at %d fps in %.2f s,"
        " %.2fx real time, peak memory %ld MB",
        static_cast<unsigned long long>(framesWritten_), static_cast<unsigned long long>(demoFrames_),
        demoSeconds, upTo.c_str(), options_.fps, wall, wall > 0.0 ? demoSeconds / wall : 0.0,
        usage.ru_maxrss / 1024);
    return line;
}
