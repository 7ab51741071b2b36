// RIFF/WAVE with a 16-byte "fmt " chunk (PCM, 2 channels, 16 bits) and one "data" chunk.
#include "WavWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>

namespace {

constexpr int channels = 2;
constexpr int bytesPerFrame = channels * 2;

using Header = std::array<uint8_t, 44>;

void put(Header& out, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void putTag(Header& out, size_t at, const char* tag)
{
    for (size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(tag[i]);
}

Header header(int sampleRate, uint64_t frames)
{
    const uint32_t dataBytes = static_cast<uint32_t>(frames * bytesPerFrame);
    Header out {};
    putTag(out, 0, "RIFF");
    put(out, 4, 36 + dataBytes, 4);
    putTag(out, 8, "WAVE");
    putTag(out, 12, "fmt ");
    put(out, 16, 16, 4);
    put(out, 20, 1, 2); // PCM
    put(out, 22, channels, 2);
    put(out, 24, static_cast<uint32_t>(sampleRate), 4);
    put(out, 28, static_cast<uint32_t>(sampleRate) * bytesPerFrame, 4);
    put(out, 32, bytesPerFrame, 2);
    put(out, 34, 16, 2);
    putTag(out, 36, "data");
    put(out, 40, dataBytes, 4);
    return out;
}

int16_t toPcm(float sample)
{
    return static_cast<int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
}

} // namespace

WavWriter::~WavWriter()
{
    discard();
}

bool WavWriter::check(bool succeeded)
{
    if (!succeeded && !failed_) {
        failed_ = true;
        errorNumber_ = errno;
    }
    return succeeded;
}

bool WavWriter::open(const std::string& path, int sampleRate)
{
    discard();
    path_ = path;
    partPath_ = path + ".part";
    frames_ = 0;
    failed_ = false;
    errorNumber_ = 0;
    sampleRate_ = sampleRate;
    file_ = std::fopen(partPath_.c_str(), "wb");
    if (!check(file_ != nullptr))
        return false;
    // the header is written twice: now as a placeholder, at the finish with the sizes
    const Header placeholder = header(sampleRate, 0);
    check(std::fwrite(placeholder.data(), 1, placeholder.size(), file_) == placeholder.size());
    return !failed_;
}

bool WavWriter::write(const float* interleavedStereo, size_t frames)
{
    if (!file_)
        return false;
    uint8_t bytes[2 * 1024];
    for (size_t done = 0; done < frames * channels;) {
        const size_t count = std::min(frames * channels - done, sizeof bytes / 2);
        for (size_t i = 0; i < count; ++i) {
            const uint16_t value = static_cast<uint16_t>(toPcm(interleavedStereo[done + i]));
            bytes[2 * i] = static_cast<uint8_t>(value & 0xFF);
            bytes[2 * i + 1] = static_cast<uint8_t>(value >> 8);
        }
        if (!failed_)
            check(std::fwrite(bytes, 2, count, file_) == count);
        done += count;
    }
    frames_ += frames;
    return !failed_;
}

bool WavWriter::finish()
{
    if (!file_)
        return false;
    const Header sized = header(sampleRate_, frames_);
    if (!failed_)
        check(std::fseek(file_, 0, SEEK_SET) == 0
            && std::fwrite(sized.data(), 1, sized.size(), file_) == sized.size());
    // buffered bytes reach the disk only here: a full disk may show no sooner
    check(std::fclose(file_) == 0);
    file_ = nullptr;
    if (!failed_)
        check(std::rename(partPath_.c_str(), path_.c_str()) == 0);
    if (failed_)
        std::remove(partPath_.c_str());
    partPath_.clear();
    return !failed_;
}

void WavWriter::discard()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!partPath_.empty()) {
        std::remove(partPath_.c_str());
        partPath_.clear();
    }
}
