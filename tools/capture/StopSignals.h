// SIGINT and SIGTERM as a request to stop the capture. The handler only records the
// signal; the capture loop and the waits for ffmpeg look at it and clean up themselves.
#pragma once

class StopSignals {
public:
    // Installs the handlers for SIGINT and SIGTERM. Interrupted system calls restart,
    // so nothing but the checks below notices a signal.
    static void install();
    // The first signal received, 0 while none.
    static int received();
    // The exit status that reports it, as a shell does: 128 plus the signal number.
    static int exitStatus();
    // "SIGINT", "SIGTERM".
    static const char* name();
};
