// The heard-position log for sync measurements. With VORIMEL_POSITION_LOG=<file> set,
// every position the real-time audio layer reports is appended to the file as one line
// "<read ns> <for ns> <order> <row> <fraction>": when it was read and the instant it
// describes, both on CLOCK_MONOTONIC. Without the variable nothing is written.
#pragma once

#include "platform/audio/openmpt/ModuleRenderer.h"

namespace platform {

void logPosition(double readSeconds, double forSeconds, const ModulePosition& position);

} // namespace platform
