// H.264 + AAC video through ffmpeg processes: frames go raw down a pipe into a video
// without sound, which is then muxed with the finished WAV file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

class VideoEncoder {
public:
    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // The ffmpeg executable found on PATH; empty when there is none.
    static std::string findFfmpeg();

    // Starts ffmpeg on a frame of width x height times scale. False with the cause.
    bool start(const std::string& ffmpeg, const std::string& outputPath, int width, int height, int scale,
        int fps, std::string& error);
    // Sends one frame of RGB rows, bottom row first, as the GL reads them.
    bool writeFrame(const std::vector<uint8_t>& bottomUpRgb, std::string& error);
    // Ends the video stream and muxes it with the audio into the output.
    bool finish(const std::string& wavPath, std::string& error);

    // Top row first, each pixel repeated scale times across and down.
    static void scaleAndFlip(const uint8_t* bottomUpRgb, int width, int height, int scale, uint8_t* out);

private:
    bool closeStream(std::string& error);

    std::string ffmpeg_;
    std::string outputPath_;
    std::string videoOnlyPath_;
    int width_ = 0;
    int height_ = 0;
    int scale_ = 1;
    int pipe_ = -1;
    pid_t process_ = -1;
    std::vector<uint8_t> scaled_;
};
