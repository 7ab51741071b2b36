// Progress on stderr: a bar redrawn in place on a terminal, nothing otherwise; and the
// summary line at the end.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class ProgressReporter {
public:
    ProgressReporter(bool terminal, int fps);

    // Demo seconds the capture will cover, for the bar and the time left.
    void setTotalSeconds(double seconds) { totalSeconds_ = seconds; }
    // After every frame; the bar is redrawn at most ten times a second.
    void update(int order, int row, uint64_t framesWritten, uint64_t demoFrames);
    // Ends the bar's line, so that a message can follow.
    void endLine();
    // Ends the bar's line and prints the summary line on stdout.
    void finish(const std::string& summary);

    double wallSeconds() const;
    // Demo seconds captured per wall second.
    double speed(uint64_t demoFrames) const;

private:
    using Clock = std::chrono::steady_clock;

    bool terminal_;
    int fps_;
    double totalSeconds_ = 0.0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_ {};
    bool drawn_ = false;
};
