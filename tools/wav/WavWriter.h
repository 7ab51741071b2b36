// A 16-bit PCM stereo WAV file written as the capture goes, under a temporary name
// (the name plus ".part"): the sizes in its header are filled in and the file gets its
// name only when it is finished, so a failed or stopped capture leaves no WAV file
// that looks complete.
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
    // Writes the sizes and moves the file to its name. False when any write failed;
    // the file is then removed.
    bool finish();
    // Removes the unfinished file; also what the destructor does with one left open.
    void discard();
    uint64_t framesWritten() const { return frames_; }
    // errno of the first failure, 0 when there was none.
    int errorNumber() const { return errorNumber_; }

private:
    bool check(bool succeeded);

    std::string path_;
    std::string partPath_;
    std::FILE* file_ = nullptr;
    int sampleRate_ = 0;
    uint64_t frames_ = 0;
    bool failed_ = false;
    int errorNumber_ = 0;
};
