// The bar: [#####-----]  42%  order  6 row 12  frames 1234  2.3x  0:31 left
#include "ProgressReporter.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int barWidth = 30;
constexpr auto redrawInterval = std::chrono::milliseconds(100);

} // namespace

ProgressReporter::ProgressReporter(bool terminal, int fps)
    : terminal_(terminal)
    , fps_(fps)
{
}

double ProgressReporter::wallSeconds() const
{
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

double ProgressReporter::speed(uint64_t demoFrames) const
{
    const double wall = wallSeconds();
    return wall > 0.0 ? static_cast<double>(demoFrames) / fps_ / wall : 0.0;
}

void ProgressReporter::update(int order, int row, uint64_t framesWritten, uint64_t demoFrames)
{
    if (!terminal_)
        return;
    const Clock::time_point now = Clock::now();
    if (drawn_ && now - lastDrawn_ < redrawInterval)
        return;
    lastDrawn_ = now;
    drawn_ = true;

    const double done = static_cast<double>(demoFrames) / fps_;
    const double part = totalSeconds_ > 0.0 ? std::clamp(done / totalSeconds_, 0.0, 1.0) : 0.0;
    const int filled = static_cast<int>(part * barWidth);
    const std::string bar = std::string(filled, '#') + std::string(barWidth - filled, '-');
    const double rate = speed(demoFrames);
    const int left = rate > 0.0 ? static_cast<int>(std::max(totalSeconds_ - done, 0.0) / rate + 0.5) : 0;
    std::fprintf(stderr, "\r[%s] %3d%%  order %2d row %2d  frames %6llu  %.2fx  %d:%02d left ", bar.c_str(),
        static_cast<int>(part * 100.0), order, row, static_cast<unsigned long long>(framesWritten), rate,
        left / 60, left % 60);
    std::fflush(stderr);
}

void ProgressReporter::endLine()
{
    if (terminal_ && drawn_)
        std::fputc('\n', stderr);
    drawn_ = false;
}

void ProgressReporter::finish(const std::string& summary)
{
    endLine();
    std::printf("%s\n", summary.c_str());
    std::fflush(stdout);
}
