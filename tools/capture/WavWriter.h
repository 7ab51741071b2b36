// A 16-bit PCM stereo WAV file written as the capture goes; the sizes in its header
// are filled in when it is closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool open(const std::string& path, int sampleRate);
    // Interleaved stereo floats in [-1, 1]; louder samples are clipped.
    bool write(const float* interleavedStereo, size_t frames);
    // Writes the sizes; false when any write failed.
    bool close();
    uint64_t framesWritten() const { return frames_; }

private:
    std::FILE* file_ = nullptr;
    int sampleRate_ = 0;
    uint64_t frames_ = 0;
    bool failed_ = false;
};
