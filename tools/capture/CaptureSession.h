// One capture: the program's loader, main-loop pass and frame driver on the virtual
// clock, the offline music and the headless frame, and the writers of the outputs.
#pragma once

#include "CaptureOptions.h"
#include "FrameWriter.h"
#include "ProgressReporter.h"
#include "StageTimes.h"
#include "VideoEncoder.h"
#include "WavWriter.h"
#include "platform/FrameTiming.h"
#include "platform/VirtualClock.h"
#include "platform/audio/openmpt/OfflineAudioBackend.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CaptureSurface;

class CaptureSession {
public:
    explicit CaptureSession(const CaptureOptions& options);
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    // Runs the whole capture from the demo's state at program start (it is
    // process-wide, so captures in one process run one after another); returns the exit
    // status.
    int run();

private:
    bool setUp(int& status);
    bool openOutputs();
    bool encodeFrame(const std::vector<uint8_t>& pixels, std::vector<uint8_t>& encoded, std::string& error);
    bool deliverFrame(uint64_t frame, const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& encoded,
        std::string& error);
    bool finishOutputs();
    void presented();
    void keepLoadingFrame();
    void writeLoadingSection();
    void writeDemoFrame();
    // Fetches the oldest pending read into a buffer and queues it as the next frame.
    void handOverRead();
    void queueFrame(const uint8_t* pixels);
    void writeAudio(const float* samples, uint64_t frames);
    void fail(const std::string& message);
    // Why the music, not the timeline or --until, ended the capture; empty otherwise.
    std::string musicEndNote() const;
    std::string summary() const;
    // Where the time went, for the debug channel.
    std::string timesReport() const;

    CaptureOptions options_;
    FrameTiming timing_;
    VirtualClock clock_;
    platform::OfflineAudioBackend audio_;
    ProgressReporter progress_;
    StageTimes times_;
    CaptureSurface* surface_ = nullptr; // owned by glWindow

    std::unique_ptr<FrameWriter> writer_;
    size_t encoders_ = 0;
    std::unique_ptr<VideoEncoder> video_;
    std::string ffmpeg_;
    WavWriter wav_;
    std::string wavPath_;
    bool wavIsTemporary_ = false;

    std::vector<uint32_t> loadingTicks_;
    std::vector<std::vector<uint8_t>> loadingFrames_;
    bool loadingWritten_ = false;
    bool alphaSet_ = false;

    uint64_t framesWritten_ = 0; // video frames, loading screen included
    uint64_t demoFrames_ = 0;
    int lastOrder_ = 0;
    bool stop_ = false;
    std::string error_;
    std::vector<float> samples_;
};
