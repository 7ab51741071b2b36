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
#include "platform/DebugOutput.h"
#include "render/FeedbackLayer.h"
#include "render/FrameResizer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>

namespace {

constexpr int sampleRate = 44100; // the rate at which the music player opens its device
// PNG frames: every row the "up" filter and Huffman codes only, for which zlib's level
// makes no difference. Stored frames (level 0) would be four times faster to write but
// twice the size: 900 KB at 640x480 against about 470 KB.
constexpr int pngCompression = 1;
constexpr bool fastRows = true;

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

// Two, or one on a single core: a frame takes about 7 ms of CPU to encode at 640x480,
// half of what drawing it takes, so two keep up with the GL at any height.
size_t pngEncoders()
{
    return std::thread::hardware_concurrency() == 1 ? 1 : 2;
}

// Frame buffers: one per encoder, one the GL thread fills and, memory allowing, a few
// queued to ride out a slow write (up to 8 frames or 64 MB: 8 at 1080 lines, 4 at 2160).
size_t frameBuffers(size_t encoders, size_t frameBytes)
{
    constexpr size_t mostFrames = 8;
    constexpr size_t mostBytes = size_t { 64 } << 20;
    return std::max(encoders + 2, std::min(mostFrames, mostBytes / frameBytes));
}

// The file under a temporary name until complete, then renamed: a full disk leaves no
// truncated file under the real name. False with the cause; nothing is left then.
bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    const std::string partPath = path + ".part";
    const int file = open(partPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0) {
        error = cannotWrite(path, errno);
        return false;
    }
    const uint8_t* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(file, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = cannotWrite(path, written < 0 ? errno : ENOSPC);
            close(file);
            std::remove(partPath.c_str());
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    if (close(file) != 0 || std::rename(partPath.c_str(), path.c_str()) != 0) {
        error = cannotWrite(path, errno);
        std::remove(partPath.c_str());
        return false;
    }
    return true;
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
        bool more = false;
        {
            StageTimes::Scope timed(times_, StageTimes::pass);
            more = mainLoopPass();
        }
        if (!more)
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
    platform::debugOutput(timesReport().c_str());
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
        // only PNG frames have work for more than one encoder
        encoders_ = options_.framesDir.empty() ? 1 : pngEncoders();
        writer_ = std::make_unique<FrameWriter>(
            surface_->frameBytes(), frameBuffers(encoders_, surface_->frameBytes()), encoders_,
            [this](uint64_t, const std::vector<uint8_t>& pixels, std::vector<uint8_t>& encoded,
                std::string& error) { return encodeFrame(pixels, encoded, error); },
            [this](uint64_t frame, const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& encoded,
                std::string& error) { return deliverFrame(frame, pixels, encoded, error); });
    }
    return true;
}

// On any encoder.
bool CaptureSession::encodeFrame(
    const std::vector<uint8_t>& pixels, std::vector<uint8_t>& encoded, std::string& error)
{
    if (options_.framesDir.empty())
        return true;
    StageTimes::Scope timed(times_, StageTimes::encode);
    const png::Image image { surface_->frameWidth(), surface_->frameHeight(), 3, pixels.data(), 0, true };
    if (!png::encodePng(image, encoded, pngCompression, fastRows)) {
        error = "cannot encode a PNG frame: out of memory";
        return false;
    }
    return true;
}

// On one encoder at a time, in frame order.
bool CaptureSession::deliverFrame(uint64_t frame, const std::vector<uint8_t>& pixels,
    const std::vector<uint8_t>& encoded, std::string& error)
{
    StageTimes::Scope timed(times_, StageTimes::deliver);
    if (!options_.framesDir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "/%06llu.png", static_cast<unsigned long long>(frame));
        if (!writeWholeFile(options_.framesDir + name, encoded, error))
            return false;
    }
    return !video_ || video_->writeFrame(pixels, error);
}

bool CaptureSession::finishOutputs()
{
    // Only a capture that ran to its end gives files; what an unfinished one wrote goes.
    const auto complete = [this] { return error_.empty() && !stopRequested(); };
    if (complete() && writer_) {
        while (surface_->readsPending() > 0)
            handOverRead();
    }
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
        {
            StageTimes::Scope timed(times_, StageTimes::read);
            surface_->startRead();
        }
        // one read stays pending, to be fetched once the next frame is drawn
        if (surface_->readsPending() > 1)
            handOverRead();
    }
    StageTimes::Scope timed(times_, StageTimes::audio);
    const uint64_t count = timing_.samplesOf(demoFrames_);
    samples_.resize(2 * count);
    audio_.takeFrames(samples_.data(), count);
    writeAudio(samples_.data(), count);
    clock_.advanceFrame();
    ++demoFrames_;
    ++framesWritten_;
}

void CaptureSession::handOverRead()
{
    std::vector<uint8_t> buffer;
    {
        StageTimes::Scope timed(times_, StageTimes::wait);
        buffer = writer_->acquire();
    }
    {
        StageTimes::Scope timed(times_, StageTimes::fetch);
        surface_->finishRead(buffer.data());
    }
    writer_->submit(std::move(buffer));
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

std::string CaptureSession::timesReport() const
{
    rusage self {};
    rusage children {};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    const auto seconds = [](const rusage& usage) {
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
            + 1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    };
    char line[160];
    std::snprintf(line, sizeof line,
        "vorimel-capture: %.2f s wall, %.2f s CPU in the capture, %.2f s in ffmpeg\n",
        progress_.wallSeconds(), seconds(self), seconds(children));
    return times_.report() + line;
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
    if (!writer_)
        return line;
    // the frames in flight: the two read slots, the writer's buffers and each PNG
    // encoder's output
    const size_t buffers = 2 + writer_->buffersMade() + (options_.framesDir.empty() ? 0 : encoders_);
    char held[96];
    std::snprintf(held, sizeof held, " (frame buffers: %zu of %.1f MB)", buffers,
        static_cast<double>(surface_->frameBytes()) / (1 << 20));
    return line + std::string(held);
}
