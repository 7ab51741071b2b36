// H.264 + AAC video through ffmpeg processes: frames go raw down a pipe into a video
// without sound, which is then muxed with the finished WAV file. The video gets its
// name only when it is complete; an unfinished one leaves no file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

class VideoEncoder {
public:
    // Asked while waiting for ffmpeg: true when the capture must stop at once.
    using StopCheck = bool (*)();

    explicit VideoEncoder(StopCheck stopRequested = nullptr);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // The ffmpeg executable found on PATH; empty when there is none.
    static std::string findFfmpeg();

    // Starts ffmpeg on frames of width x height. False with the cause.
    bool start(const std::string& ffmpeg, const std::string& outputPath, int width, int height, int fps,
        std::string& error);
    // Sends one frame of RGB rows, bottom row first, as the GL reads them.
    bool writeFrame(const std::vector<uint8_t>& bottomUpRgb, std::string& error);
    // Ends the video stream and muxes it with the audio into the output. False with the
    // cause, and no output file, when either step fails or a stop is requested.
    bool finish(const std::string& wavPath, std::string& error);
    // Kills the encoding ffmpeg, so that frames still being sent fail at once; the
    // destructor then removes what it wrote.
    void cancel();

    // The rows in the order video wants them: top row first.
    static void flipRows(const uint8_t* bottomUpRgb, int width, int height, uint8_t* out);

private:
    bool closeStream(std::string& error);

    std::string ffmpeg_;
    std::string outputPath_;
    std::string videoOnlyPath_;
    std::string partPath_; // the muxed output until it is complete
    StopCheck stopRequested_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int pipe_ = -1;
    pid_t process_ = -1;
    std::vector<uint8_t> flipped_;
};
