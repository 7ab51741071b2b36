// Frame heights against the rule and the GL's limits.
#include "render/FrameSize.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

// Heights are multiples of it, so that the width 4H/3 is a whole multiple of 8: rows
// without padding.
constexpr int heightStep = 6;
// Above what any GL draws, and the width 4H/3 still an int.
constexpr long largestHeightAsked = 1'000'000'000;

// The largest sizes the demo asks for at 480: the solids' points and the loading bar's
// outline. Both are multiplied by H/480.
constexpr float largestPointSize = 10.0f;
constexpr float largestLineWidth = 2.0f;

long long widthFor(long long height)
{
    return height / 3 * 4;
}

int powerOfTwoAtMost(int limit)
{
    int size = 1;
    while (size <= limit / 2)
        size *= 2;
    return size;
}

} // namespace

std::string frameHeightRule()
{
    return "a multiple of " + std::to_string(heightStep) + " from " + std::to_string(baseFrameHeight) + " up";
}

bool parseFrameHeight(const std::string& text, int& height)
{
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno != 0 || parsed < baseFrameHeight
        || parsed % heightStep != 0 || parsed > largestHeightAsked)
        return false;
    height = static_cast<int>(parsed);
    return true;
}

int frameWidthFor(int height)
{
    return static_cast<int>(widthFor(height));
}

int textureSizeFor(int pixels)
{
    long long size = 1;
    while (size < pixels)
        size *= 2;
    return static_cast<int>(size);
}

std::string frameHeightProblem(int height, const FrameLimits& limits)
{
    const std::string h = std::to_string(height);
    if (height < baseFrameHeight || height % heightStep != 0)
        return "the frame height is " + frameHeightRule() + ", not " + h;
    const int largest = largestFrameHeight(limits);
    if (height <= largest)
        return {};

    // name the first limit the height breaks
    const long long width = widthFor(height);
    const std::string size = std::to_string(width) + "x" + h;
    const std::string most = " (the largest height here is " + std::to_string(largest) + ")";
    const double scale = static_cast<double>(height) / baseFrameHeight;
    if (width > powerOfTwoAtMost(limits.maxTextureSize))
        return "a " + size + " frame needs a feedback texture wider than the GL's largest, "
            + std::to_string(limits.maxTextureSize) + most;
    if (width > limits.maxViewportWidth || height > limits.maxViewportHeight)
        return "a " + size + " frame is larger than the GL's largest viewport, "
            + std::to_string(limits.maxViewportWidth) + "x" + std::to_string(limits.maxViewportHeight) + most;
    if (width > limits.maxRenderbufferSize)
        return "a " + size + " frame is wider than the GL's largest renderbuffer, "
            + std::to_string(limits.maxRenderbufferSize) + most;
    if (std::round(largestLineWidth * scale) <= limits.maxLineWidth)
        return "at height " + h + " the largest points are "
            + std::to_string(std::llround(largestPointSize * scale)) + " pixels; the GL draws at most "
            + std::to_string(std::lround(limits.maxPointSize)) + most;
    return "at height " + h + " the widest lines are "
        + std::to_string(std::llround(largestLineWidth * scale)) + " pixels; the GL draws at most "
        + std::to_string(std::lround(limits.maxLineWidth)) + most;
}

int largestFrameHeight(const FrameLimits& limits)
{
    int height = 0;
    // each limit as a height, rounded down to a multiple of 6
    const auto keep = [&height](long long limit) {
        const int h = static_cast<int>(std::min<long long>(limit, 1 << 30)) / heightStep * heightStep;
        height = height == 0 ? h : std::min(height, h);
    };
    keep(powerOfTwoAtMost(limits.maxTextureSize) * 3LL / 4);
    keep(limits.maxViewportWidth * 3LL / 4);
    keep(limits.maxViewportHeight);
    keep(limits.maxRenderbufferSize * 3LL / 4);
    // the largest height whose rounded sizes still fit: round(size * H / 480) <= max
    keep(static_cast<long long>(
        std::floor((std::floor(limits.maxPointSize) + 0.5) * baseFrameHeight / largestPointSize - 1e-9)));
    keep(static_cast<long long>(
        std::floor((std::floor(limits.maxLineWidth) + 0.5) * baseFrameHeight / largestLineWidth - 1e-9)));
    return height;
}

int frameHeightFitting(int areaWidth, int areaHeight, const FrameLimits& limits)
{
    const int fitting = std::min(areaHeight, areaWidth / 4 * 3) / heightStep * heightStep;
    return std::max(baseFrameHeight, std::min(fitting, largestFrameHeight(limits)));
}
